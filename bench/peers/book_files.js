// Writes one text file per book into a new folder, as the peers' scripts
// share it: a file name made safe from the title (numbered when taken), and
// for each clipping its place line, its text and a blank line.
'use strict';

const fs = require('fs');
const path = require('path');

function safeName(title, taken) {
    const base = (title.replace(/[\\/:*?"<>|\x00-\x1f]/g, '_').trim() || 'untitled').slice(0, 200);
    let name = base + '.txt';
    for (let n = 2; taken.has(name); ++n) {
        name = base + ' (' + n + ').txt';
    }
    taken.add(name);
    return name;
}

// books: iterable of [title, clippings], each clipping { place, text }.
function writeBookFiles(folder, books) {
    fs.mkdirSync(folder);
    const taken = new Set();
    let written = 0;
    for (const [title, clippings] of books) {
        const lines = [title, ''];
        for (const clipping of clippings) {
            lines.push(clipping.place, clipping.text, '');
        }
        fs.writeFileSync(path.join(folder, safeName(title, taken)), lines.join('\r\n'));
        ++written;
    }
    return written;
}

// The arguments every peer script takes: INPUT OUTPUT_FOLDER.
function peerArgs(script) {
    const [input, folder] = process.argv.slice(2);
    if (!input || !folder) {
        process.stderr.write('usage: node ' + script + ' INPUT OUTPUT_FOLDER\n');
        process.exit(2);
    }
    return { input, folder };
}

module.exports = { writeBookFiles, peerArgs };
