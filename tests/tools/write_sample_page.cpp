// Writes the reading page of the sample books into a new folder "page" in
// the folder given, for the HTML5 check.
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
        quillery::FreshFolder folder(quillery::FromUtf8(argv[1]) + u"/page");
        quillery::HtmlPageWriter writer(folder);
        quillery::test::WriteSample(writer);
    } catch (const std::exception& error) {
        std::cerr << error.what() << '\n';
        return 1;
    }
    return 0;
}
