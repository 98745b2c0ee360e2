// The site offline, in headless Chromium: after one visit the service worker holds every file of
// the site, and with the server gone the page loads and the engine answers a move; a new build
// replaces the cache.
'use strict';
const { test, after } = require('node:test');
const assert = require('node:assert/strict');
const { execFileSync } = require('node:child_process');
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');

// The server serves a copy of the built site, which the test turns into another build.
const BUILT = path.resolve(process.env.ORMEL_SITE || path.join(__dirname, '../../build/web/site'));
const SITE = fs.mkdtempSync(path.join(os.tmpdir(), 'ormel-site-'));
fs.cpSync(BUILT, SITE, { recursive: true });
process.env.ORMEL_SITE = SITE;
const {
  ROOT, YOUR_TURN, web, startServer, stopServer, openPage, settings, state, board, stones, playFree,
} = require('./harness.js');
after(() => fs.rmSync(SITE, { recursive: true, force: true }));

const stamp = () => /const CACHE = '(ormel-[0-9a-f]{16})'/.exec(fs.readFileSync(path.join(SITE, 'sw.js'), 'utf8'))[1];
const siteFiles = () => fs.readdirSync(SITE).filter((name) => name !== 'sw.js').sort();

// Once a service worker controls the page: every cache of the origin with the files it holds.
const cached = (page) => page.evaluate(async () => {
  const sw = navigator.serviceWorker;
  if (!sw.controller) await new Promise((r) => sw.addEventListener('controllerchange', r, { once: true }));
  const found = {};
  for (const name of await caches.keys()) {
    found[name] = (await (await caches.open(name)).keys()).map((r) => new URL(r.url).pathname.slice(1)).sort();
  }
  return found;
});

// Has the browser look for a new service worker, and tells how its install ends.
const update = (page) => page.evaluate(async () => {
  const reg = await navigator.serviceWorker.getRegistration();
  const found = new Promise((r) => reg.addEventListener('updatefound', () => r(reg.installing), { once: true }));
  await reg.update();
  const worker = await found;
  while (!['activated', 'redundant'].includes(worker.state)) {
    await new Promise((r) => worker.addEventListener('statechange', r, { once: true }));
  }
  return worker.state;
});

// One visit fills the cache; a new build then replaces it whole, and with the server gone the
// page loads from it, serves the new build's files and plays.
test('after one visit the page plays offline, from the newest build', { timeout: 90000 }, async () => {
  const page = await openPage();
  const first = stamp();
  assert.deepEqual(await cached(page), { [first]: siteFiles() });

  // A second build: a changed file, and the service worker stamped again as the build does.
  const game = path.join(SITE, 'game.js');
  fs.appendFileSync(game, '// the second build\n');
  execFileSync(process.env.ORMEL_CMAKE || 'cmake', [`-DSITE=${SITE}`,
    `-DTEMPLATE=${path.join(ROOT, 'web/sw.js')}`, '-P', path.join(ROOT, 'cmake/stamp_sw.cmake')]);
  assert.notEqual(stamp(), first);
  assert.equal(await update(page), 'activated');
  assert.deepEqual(await cached(page), { [stamp()]: siteFiles() }, 'only the new build is kept');

  await stopServer();
  try {
    await assert.rejects(fetch(web.url), 'the server is gone');
    await page.reload();
    await page.waitForSelector(YOUR_TURN);
    assert.equal(await page.evaluate(() => fetch('game.js').then((r) => r.text())), fs.readFileSync(game, 'utf8'));
    await settings(page, { 'turn-time': '500' });
    await page.click('#new-game');
    await playFree(page, 1);
    assert.equal(await state(page), 'your-turn');
    assert.deepEqual(stones(await board(page)).map(([, , player]) => player).sort(), ['1', '2'],
      'the person\'s stone and the engine\'s answer');
  } finally {
    await startServer();
  }
});
