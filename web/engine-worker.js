// The engine in its own thread: protocol text comes in as messages, each reply line goes back
// as {line}, standard error as {err}; {done: ms} follows each piece of text once it is answered.
// A search blocks only this worker. If the engine fails (out of memory, say) the worker reports
// {fatal} and answers nothing more.
'use strict';
importScripts('ormel-engine.js');

let engine = null;
let failed = false;
const waiting = [];

// What went wrong, without the loader's advice on rebuilding.
function reason(e) {
  return String((e && e.message) || e).replace(/\. Build with .*$/, '');
}

function answer(text) {
  if (failed) return;
  const start = performance.now();
  try {
    engine.ccall('ormel_commands', 'number', ['string'], [text]);
    postMessage({ done: performance.now() - start });
  } catch (e) {
    failed = true;
    postMessage({ fatal: `the engine failed (${reason(e)})` });
  }
}

onmessage = (event) => {
  if (engine) answer(event.data);
  else waiting.push(event.data);
};

createOrmel({
  print: (line) => postMessage({ line }),
  printErr: (line) => postMessage({ err: line }),
}).then(
  (module) => {
    engine = module;
    for (const text of waiting.splice(0)) answer(text);
  },
  (e) => {
    failed = true;
    postMessage({ fatal: `the engine could not load (${reason(e)})` });
  },
);
