// @sole/kindle-clippings-parser: parse(text) gives [{ title, highlights:
// [{ metadata, text }] }] with the meta line unparsed; bookmarks are left
// out by their meta line, as quillery-cli leaves them out by default.
'use strict';

const fs = require('fs');
const { parse } = require('@sole/kindle-clippings-parser');
const { writeBookFiles, peerArgs } = require('./book_files');

const { input, folder } = peerArgs('sole.js');
const books = parse(fs.readFileSync(input, 'utf-8')).map((book) => [
    book.title,
    book.highlights
        .filter((h) => !/Bookmark/.test(h.metadata || ''))
        .map((h) => ({ place: (h.metadata || '').trim(), text: h.text })),
]);
console.log(writeBookFiles(folder, books));
