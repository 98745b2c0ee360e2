// What the browser tests share: a static server for the built site (which a test may stop and
// start again on the same port, as a network that goes away and comes back), Debian's Chromium
// through Playwright (`npm ci` at the top of the tree), and the page's board read and played as
// a person does. Every page a test opens closes with the test, which fails on a script error in it.
'use strict';
const { before, after, afterEach } = require('node:test');
const assert = require('node:assert/strict');
const fs = require('node:fs');
const http = require('node:http');
const path = require('node:path');
const { chromium } = require('playwright-core');

const ROOT = path.resolve(__dirname, '../..');
const SITE = path.resolve(process.env.ORMEL_SITE || path.join(ROOT, 'build/web/site'));
const ARTIFACTS = path.resolve(process.env.ORMEL_ARTIFACTS || path.join(ROOT, 'build/web/artifacts'));
const TYPES = { '.html': 'text/html', '.js': 'text/javascript', '.css': 'text/css', '.wasm': 'application/wasm',
  '.webmanifest': 'application/manifest+json', '.svg': 'image/svg+xml', '.png': 'image/png' };
const YOUR_TURN = '#status[data-state="your-turn"]';
const OVER = '#status:is([data-state="won"],[data-state="lost"],[data-state="draw"],[data-state="error"])';
const SETTLED = `${YOUR_TURN}, ${OVER}`;

const web = { server: null, browser: null, url: null, port: 0 };
const opened = [];

function serve(req, res) {
  const name = decodeURIComponent(new URL(req.url, 'http://x').pathname).replace(/^\/$/, '/index.html');
  const file = path.join(SITE, path.normalize(name));
  if (!file.startsWith(SITE) || !fs.existsSync(file)) return res.writeHead(404).end();
  res.writeHead(200, { 'Content-Type': TYPES[path.extname(file)] || 'application/octet-stream' });
  fs.createReadStream(file).pipe(res);
}

async function startServer() {
  web.server = http.createServer(serve);
  await new Promise((resolve) => web.server.listen(web.port, '127.0.0.1', resolve));
  web.port = web.server.address().port;
  web.url = `http://127.0.0.1:${web.port}/`;
}

// Refuses every connection from now on, open ones included.
async function stopServer() {
  const closed = new Promise((resolve) => web.server.close(resolve));
  web.server.closeAllConnections();
  await closed;
}

before(async () => {
  await startServer();
  web.browser = await chromium.launch({
    executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
    args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
      '--disable-background-networking', '--disable-component-update', '--disable-sync'],
  });
  fs.mkdirSync(ARTIFACTS, { recursive: true });
});

afterEach(async () => {
  const pages = opened.splice(0);
  await Promise.all(pages.map((page) => page.context().close()));
  assert.deepEqual(pages.flatMap((page) => page.errors), [], 'script errors on the page');
});

after(async () => {
  await web.browser?.close();
  web.server?.close();
});

// A page of its own (a fresh context: no storage, no service worker from other tests), open on
// the site and ready for the person's move, the engine's time per move set to half a second
// for the games to come.
async function openPage(viewport = { width: 1280, height: 800 }) {
  const page = await (await web.browser.newContext({ viewport })).newPage();
  page.errors = [];
  page.on('pageerror', (e) => page.errors.push(e.message));
  opened.push(page);
  await page.goto(web.url);
  await page.waitForSelector(YOUR_TURN);
  await page.selectOption('#turn-time', '500');
  return page;
}

// Chooses in the form by the ids of its fields: {size: '20', rule: '0', first: 'engine', ...}.
async function settings(page, chosen) {
  for (const [id, value] of Object.entries(chosen)) await page.selectOption(`#${id}`, value);
}

const state = (page) => page.getAttribute('#status', 'data-state');

// The board as the page shows it: one string per row, '.' empty, '1' or '2' a stone.
const board = (page) => page.$$eval('.pt', (pts) => {
  const rows = Array.from({ length: Math.sqrt(pts.length) }, () => []);
  for (const pt of pts) rows[pt.dataset.row][pt.dataset.col] = pt.querySelector('.stone')?.dataset.player ?? '.';
  return rows.map((row) => row.join(''));
});

const stones = (rows) => rows.flatMap((row, r) => [...row].flatMap((v, c) => (v === '.' ? [] : [[r, c, v]])));

// Sets up a game from a move list, as a person pastes one, and waits (with the options `wait`)
// for the engine's answer if it is to move.
async function setUp(page, list, wait = {}) {
  await page.$eval('#moves-box', (box) => { box.open = true; });
  await page.fill('#moves', list);
  await page.click('#set-up');
  await page.waitForSelector(SETTLED, wait);
}

const click = (page, r, c) => page.click(`.pt[data-row="${r}"][data-col="${c}"]`);

// Clicks the free point nearest the centre (the first in reading order among equals) and
// returns it. The engine's replies follow the level its measured speed allows, so any fixed
// point may already hold one; the board as it stands picks the point instead, the same way
// every time.
async function clickFree(page) {
  const rows = await board(page);
  const away = ([r, c]) => (r - (rows.length - 1) / 2) ** 2 + (c - (rows.length - 1) / 2) ** 2;
  const free = rows.flatMap((row, r) => [...row].flatMap((v, c) => (v === '.' ? [[r, c]] : [])));
  const at = free.reduce((best, p) => (away(p) < away(best) ? p : best));
  await click(page, ...at);
  return at;
}

// Plays `times` moves with clickFree, each time until the engine has answered (or the game
// is over).
async function playFree(page, times) {
  for (let i = 0; i < times; ++i) {
    await clickFree(page);
    await page.waitForSelector(SETTLED);
  }
}

module.exports = {
  ROOT, ARTIFACTS, YOUR_TURN, OVER, SETTLED, web, startServer, stopServer, openPage, settings, state,
  board, stones, setUp, click, clickFree, playFree,
};
