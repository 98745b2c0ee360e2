// What the browser tests share: a static server for the built site (which a test may stop and
// start again on the same port, as a network that goes away and comes back), Debian's Chromium
// through Playwright, and the page's board read and played as a person does.
'use strict';
const { before, after } = require('node:test');
const fs = require('node:fs');
const http = require('node:http');
const path = require('node:path');
let chromium;
try {
  ({ chromium } = require('playwright-core'));
} catch {
  console.error('playwright-core is missing: run `npm ci` at the top of the tree first');
  process.exit(1);
}

const ROOT = path.resolve(__dirname, '../..');
const SITE = path.resolve(process.env.ORMEL_SITE || path.join(ROOT, 'build/web/site'));
const ARTIFACTS = path.resolve(process.env.ORMEL_ARTIFACTS || path.join(ROOT, 'build/web/artifacts'));
const CHROMIUM = process.env.CHROMIUM || '/usr/bin/chromium';
const TYPES = {
  '.html': 'text/html', '.js': 'text/javascript', '.css': 'text/css', '.wasm': 'application/wasm',
  '.webmanifest': 'application/manifest+json', '.svg': 'image/svg+xml', '.png': 'image/png',
};
const OVER = '#status:is([data-state="won"],[data-state="lost"],[data-state="draw"],[data-state="error"])';
const SETTLED = `#status:is([data-state="your-turn"]), ${OVER}`;

const web = { server: null, browser: null, url: null, port: 0 };

function serve(req, res) {
  const name = decodeURIComponent(new URL(req.url, 'http://x').pathname).replace(/^\/$/, '/index.html');
  const file = path.join(SITE, path.normalize(name));
  if (!file.startsWith(SITE) || !fs.existsSync(file)) {
    res.writeHead(404).end();
    return;
  }
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
    executablePath: CHROMIUM,
    args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
      '--disable-background-networking', '--disable-component-update', '--disable-sync'],
  });
  fs.mkdirSync(ARTIFACTS, { recursive: true });
});

after(async () => {
  await web.browser?.close();
  web.server?.close();
});

// A page of its own (a fresh context: no storage, no service worker from other tests), open on
// the site and ready for the person's move.
async function openPage(viewport = { width: 1280, height: 800 }) {
  const context = await web.browser.newContext({ viewport });
  const page = await context.newPage();
  page.errors = [];
  page.on('pageerror', (e) => page.errors.push(e.message));
  await page.goto(web.url);
  await page.waitForSelector('#status[data-state="your-turn"]');
  return page;
}

async function settings(page, { size = '15', rule = '1', first = 'human', turn = '500' } = {}) {
  await page.selectOption('#size', size);
  await page.selectOption('#rule', rule);
  await page.selectOption('#first', first);
  await page.selectOption('#turn-time', turn);
}

// The board as the page shows it: one string per row, '.' empty, '1' or '2' a stone.
async function board(page) {
  return page.$$eval('.pt', (pts) => {
    const size = Math.sqrt(pts.length);
    const rows = Array.from({ length: size }, () => Array(size).fill('.'));
    for (const pt of pts) {
      const stone = pt.querySelector('.stone');
      if (stone) rows[pt.dataset.row][pt.dataset.col] = stone.dataset.player;
    }
    return rows.map((row) => row.join(''));
  });
}

function stones(rows) {
  const found = [];
  rows.forEach((row, r) => [...row].forEach((v, c) => v !== '.' && found.push([r, c, v])));
  return found;
}

// Sets up a game from a move list, as a person pastes one.
async function setUp(page, list) {
  await page.$eval('#moves-box', (box) => { box.open = true; });
  await page.fill('#moves', list);
  await page.click('#set-up');
}

async function click(page, r, c) {
  await page.click(`.pt[data-row="${r}"][data-col="${c}"]`);
}

// Clicks the free point nearest the centre (the first in reading order among equals). The
// engine's replies follow the level its measured speed allows, so any fixed point may already
// hold one; the board as it stands picks the point instead, the same way every time.
async function clickFree(page) {
  const rows = await board(page);
  const mid = (rows.length - 1) / 2;
  let best = null;
  rows.forEach((row, r) => [...row].forEach((v, c) => {
    const d = (r - mid) ** 2 + (c - mid) ** 2;
    if (v === '.' && (!best || d < best[2])) best = [r, c, d];
  }));
  await click(page, best[0], best[1]);
}

module.exports = {
  ROOT, SITE, ARTIFACTS, OVER, SETTLED, web, startServer, stopServer, openPage, settings, board,
  stones, setUp, click, clickFree,
};
