// One of the pool's analysis workers, beside the one that plays: a request comes in
// as text, each line of the answer goes back as {line} as soon as it is written (a candidate
// as it finishes), and {fatal} if the engine fails. The page stops an analysis by ending this
// worker; what it has already sent stays.
'use strict';
importScripts('ormel-engine.js');

const loading = createOrmel({ print: (line) => postMessage({ line }), printErr: () => {} });

onmessage = async (event) => {
  try {
    const engine = await loading;
    engine.ccall('ormel_analyse', null, ['string'], [event.data]);
  } catch (e) {
    postMessage({ fatal: String((e && e.message) || e).replace(/\. Build with .*$/, '') });
  }
};
