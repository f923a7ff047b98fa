// klip: parse(path, callback) gives a flat array of { title, author, type,
// pageRange, locationRange, date, content }; grouped here by title and
// author, bookmarks left out as quillery-cli leaves them out by default.
'use strict';

const klip = require('klip');
const { writeBookFiles, peerArgs } = require('./book_files');

const { input, folder } = peerArgs('klip.js');
klip.parse(input, (err, clippings) => {
    if (err) {
        throw err;
    }
    const books = new Map();
    for (const c of clippings) {
        if (c.type === 'Bookmark') {
            continue;
        }
        const title = c.author ? c.title + ' (' + c.author + ')' : c.title;
        if (!books.has(title)) {
            books.set(title, []);
        }
        books.get(title).push({ place: 'Location ' + (c.locationRange || []).join('-'), text: c.content || '' });
    }
    console.log(writeBookFiles(folder, books));
});
