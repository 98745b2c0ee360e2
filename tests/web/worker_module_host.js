#!/usr/bin/env node
// Drives the browser worker's engine module under node the way the page does: protocol text in
// pieces (one line at a time, a position block BOARD..DONE as one piece), replies read line by
// line from the module's print hook. Standard input and output then look like the console
// engine's, so the golden transcripts apply:
//
//   node tests/web/worker_module_host.js build/web/site/ormel-engine.js < tests/protocol/turn.in
//
// At the end of input the console engine answers "ERROR i/o command" and exits 0; so does this.
'use strict';
const fs = require('fs');
const path = require('path');

async function main() {
  const modulePath = path.resolve(process.argv[2]);
  const engine = await require(modulePath)({
    // This node has fetch, which the loader would try on a file path: hand it the bytes.
    wasmBinary: fs.readFileSync(modulePath.replace(/\.js$/, '.wasm')),
    print: (line) => process.stdout.write(line + '\n'),
    printErr: (line) => process.stderr.write(line + '\n'),
  });
  // False once the engine has quit.
  const send = (text) => engine.ccall('ormel_commands', 'number', ['string'], [text]) === 1;
  let block = null; // a position block so far
  for (const line of fs.readFileSync(0, 'latin1').split(/(?<=\n)/)) {
    const word = line.trim().split(/\s+/)[0];
    if (block === null && word !== 'BOARD') {
      if (!send(line)) return;
    } else {
      block = (block ?? '') + line;
      if (word === 'DONE' && !send(block)) return;
      if (word === 'DONE') block = null;
    }
  }
  if (block === null || send(block)) process.stdout.write('ERROR i/o command\n');
}

main().then(() => process.exit(0), (e) => {
  process.stderr.write(String(e && e.stack || e) + '\n');
  process.exit(1);
});
