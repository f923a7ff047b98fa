// @darylserrano/kindle-clippings: readKindleClipping(text) splits the
// entries, parseKindleEntries parses their meta lines and
// organizeKindleEntriesByBookTitle groups them into a Map by title; bookmarks
// are left out as quillery-cli leaves them out by default.
'use strict';

const fs = require('fs');
const kc = require('@darylserrano/kindle-clippings');
const { writeBookFiles, peerArgs } = require('./book_files');

const { input, folder } = peerArgs('daryl.js');
const entries = kc.parseKindleEntries(kc.readKindleClipping(fs.readFileSync(input, 'utf-8')));
const byTitle = kc.organizeKindleEntriesByBookTitle(entries);
const books = [];
for (const [title, list] of byTitle) {
    books.push([
        title,
        list.filter((e) => e.type !== kc.EntryType.Bookmark).map((e) => ({ place: 'Location ' + e.location, text: e.content })),
    ]);
}
console.log(writeBookFiles(folder, books));
