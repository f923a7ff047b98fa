// Writes the reading page of the sample books into the folder given, for the
// HTML5 check and for the page's picture.
#include "output/html_page_writer.h"
#include "util/path_text.h"

#include "support/sample_books.h"

#include <exception>
#include <iostream>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: write_sample_page FOLDER\n";
        return 2;
    }
    try {
        quillery::HtmlPageWriter writer(quillery::FromUtf8(argv[1]));
        quillery::test::WriteSample(writer);
    } catch (const std::exception& error) {
        std::cerr << error.what() << '\n';
        return 1;
    }
    return 0;
}
