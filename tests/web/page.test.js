// The board page in headless Chromium: whole games against the engine in its worker, the
// page's judgement of fives and draws, undo, new game and the move list, and the deepest bench
// position searched at level 4 inside the browser's worker.
//
//   ORMEL_SITE=build/web/site node --test tests/web/page.test.js
//
// Screenshots of finished games go to ORMEL_ARTIFACTS (build/web/artifacts by default).
'use strict';
const { test } = require('node:test');
const assert = require('node:assert/strict');
const fs = require('node:fs');
const path = require('node:path');
const {
  ROOT, ARTIFACTS, SETTLED, web, openPage, settings, board, stones, setUp, click, clickFree,
} = require('./harness.js');

// A small seeded generator, so a failing game can be replayed.
function rng(seed) {
  let s = seed >>> 0;
  return () => ((s = (s * 1664525 + 1013904223) >>> 0) / 2 ** 32);
}

// Plays the person's side with random free points next to the stones until the game ends.
// Every engine reply must be one new stone of the engine's colour on a point that was free.
async function playOut(page, human, random) {
  const engine = human === '1' ? '2' : '1';
  for (let turn = 0; turn < 200; ++turn) {
    await page.waitForSelector(SETTLED);
    if ((await page.getAttribute('#status', 'data-state')) !== 'your-turn') break;
    const before = await board(page);
    const size = before.length;
    const free = [];
    for (const [r, c] of stones(before)) {
      for (let dr = -1; dr <= 1; ++dr) {
        for (let dc = -1; dc <= 1; ++dc) {
          const [y, x] = [r + dr, c + dc];
          if (y >= 0 && x >= 0 && y < size && x < size && before[y][x] === '.') free.push([y, x]);
        }
      }
    }
    const [r, c] = free.length ? free[Math.floor(random() * free.length)] : [7, 7];
    await click(page, r, c);
    await page.waitForSelector(SETTLED);
    const now = await board(page);
    assert.equal(now[r][c], human, `the person's stone at ${r},${c}`);
    const added = stones(now).filter(([y, x]) => before[y][x] === '.' && !(y === r && x === c));
    const state = await page.getAttribute('#status', 'data-state');
    if (state === 'won' && added.length === 0) break;
    assert.equal(added.length, 1, `one engine reply after ${r},${c}`);
    assert.equal(added[0][2], engine, 'the reply is the engine colour');
  }
  return page.getAttribute('#status', 'data-state');
}

async function assertWinner(page, state, winner) {
  assert.ok(['won', 'lost'].includes(state), `the game ended with a winner, not ${state}`);
  assert.match(await page.textContent('#status'), state === 'won' ? /^You win/ : /^The engine wins/);
  assert.match(await page.textContent('#value'), state === 'won' ? /over: you won/ : /over: the engine won/);
  const marked = await page.$$eval('.stone.win', (s) => s.map((e) => e.dataset.player));
  assert.ok(marked.length >= 5, 'the winning line is marked');
  assert.ok(marked.every((p) => p === winner), 'marked stones are the winner\'s');
}

test('plays whole games against the engine, on both sides, to a named winner', async () => {
  const page = await openPage();
  // The page opens ready: 15 x 15, the person first, nothing to click before the first stone.
  assert.equal((await board(page)).length, 15);
  await settings(page, { turn: '500' });
  await page.click('#new-game');
  let state = await playOut(page, '1', rng(1));
  await assertWinner(page, state, state === 'won' ? '1' : '2');
  await page.screenshot({ path: path.join(ARTIFACTS, 'finished-15x15.png') });

  await settings(page, { size: '20', rule: '0', first: 'engine', turn: '500' });
  await page.click('#new-game');
  await page.waitForSelector('#status[data-state="your-turn"]');
  assert.deepEqual(stones(await board(page)), [[9, 9, '1']], 'the engine opens at the centre');
  state = await playOut(page, '2', rng(2));
  await assertWinner(page, state, state === 'won' ? '2' : '1');
  await page.setViewportSize({ width: 390, height: 844 });
  await page.screenshot({ path: path.join(ARTIFACTS, 'finished-20x20-phone.png'), fullPage: true });
  assert.ok(await page.evaluate(() => document.documentElement.scrollWidth <= innerWidth),
    'the page fits a phone-sized screen');
  assert.deepEqual(page.errors, []);
});

test('judges a five by the rule and a full board as a draw', async () => {
  const page = await openPage();
  const white = '0,0 0,2 0,4 0,6 0,8';
  const cases = [
    // rule, black's stones before the click, the click, the state after, stones marked
    // (the rules themselves are tested under node: here the page's word and marking)
    ['1', '7,3 7,4 7,5 7,7 7,8', [7, 6], 'your-turn', 0], // six in a row: play goes on
    ['0', '7,3 7,4 7,5 7,7 7,8', [7, 6], 'won', 6],
  ];
  for (const [rule, black, [r, c], expected, marked] of cases) {
    const b = black.split(' ');
    const w = white.split(' ').slice(0, b.length);
    const list = b.flatMap((m, i) => [m, w[i]]).join(' ');
    await settings(page, { rule });
    await setUp(page, list);
    await page.waitForSelector('#status[data-state="your-turn"]');
    await click(page, r, c);
    await page.waitForSelector(SETTLED);
    const what = `rule ${rule}, ${list} then ${r},${c}`;
    assert.equal(await page.getAttribute('#status', 'data-state'), expected, what);
    assert.equal((await page.$$('.stone.win')).length, marked, what);
    assert.equal((await board(page))[r][c], '1', what);
  }

  // A full board without a five: colours in pairs along each row, shifted two per row.
  const order = { 1: [], 2: [] };
  for (let r = 0; r < 15; ++r) {
    for (let c = 0; c < 15; ++c) order[(c + 2 * r) % 4 < 2 ? 1 : 2].push(`${r},${c}`);
  }
  const full = order[1].flatMap((m, i) => (i < order[2].length ? [m, order[2][i]] : [m]));
  await settings(page, { rule: '1' });
  await setUp(page, full.slice(0, -1).join(' '));
  await page.waitForSelector('#status[data-state="your-turn"]');
  const [r, c] = full[full.length - 1].split(',');
  await click(page, r, c);
  await page.waitForSelector('#status[data-state="draw"]');
  assert.match(await page.textContent('#status'), /^Draw/);
  assert.deepEqual(page.errors, []);
});

test('undo, the move list and new game restore the board exactly', async () => {
  const page = await openPage();
  await settings(page, { turn: '500' });
  const seen = [await board(page)];
  // A stone from the keyboard: the cursor starts at the centre.
  await page.focus('#board');
  await page.keyboard.press('ArrowRight');
  await page.keyboard.press('Enter');
  await page.waitForSelector('#status[data-state="your-turn"]');
  assert.equal((await board(page))[7][8], '1');
  await page.click('#new-game');
  for (let i = 0; i < 3; ++i) {
    await clickFree(page);
    await page.waitForSelector('#status[data-state="your-turn"]');
    seen.push(await board(page));
  }
  const list = await page.inputValue('#moves');
  assert.equal(list.split(/\s+/).length, 6);

  await page.click('#undo');
  assert.deepEqual(await board(page), seen[2]);
  await page.click('#undo');
  assert.deepEqual(await board(page), seen[1]);
  // The engine now plays on from a position it is handed whole.
  await clickFree(page);
  await page.waitForSelector('#status[data-state="your-turn"]');
  assert.equal(stones(await board(page)).length, 4);

  await page.click('#new-game');
  assert.deepEqual(await board(page), seen[0]);
  await setUp(page, list);
  await page.waitForSelector('#status[data-state="your-turn"]');
  assert.deepEqual(await board(page), seen[3]);

  // Undo while the engine thinks: the board goes back and the game goes on. Both clicks land in
  // one task, so the engine's answer cannot come between them however fast it is.
  await settings(page, { turn: '2000' });
  await page.click('#new-game');
  const state = await page.evaluate(() => {
    document.querySelector('.pt[data-row="7"][data-col="7"]').click();
    const thinking = document.getElementById('status').dataset.state;
    document.getElementById('undo').click();
    return thinking;
  });
  assert.equal(state, 'thinking');
  assert.deepEqual(await board(page), seen[0]);
  await click(page, 5, 5);
  await page.waitForSelector('#status[data-state="your-turn"]');
  assert.equal(stones(await board(page)).length, 2);
  assert.deepEqual(page.errors, []);
});

test('the deepest bench position searches at level 4 in the browser worker', async () => {
  const page = await openPage();
  const input = fs.readFileSync(path.join(ROOT, 'tests/protocol/deep_search.in'), 'utf8');
  const expected = fs.readFileSync(path.join(ROOT, 'tests/protocol/deep_search.out'), 'utf8');
  const [start, block] = input.replace(/END\n$/, '').split(/(?=BOARD\n)/);
  const replies = await page.evaluate(([a, b]) => new Promise((resolve, reject) => {
    const lines = [];
    const worker = new Worker('engine-worker.js');
    worker.onerror = (e) => reject(new Error(e.message));
    worker.onmessage = ({ data }) => {
      if (data.fatal) reject(new Error(data.fatal));
      if (data.line) lines.push(data.line);
      if (/^\d+,\d+$/.test(data.line || '')) resolve(lines);
    };
    worker.postMessage(a);
    worker.postMessage(b);
  }), [start, block]);
  const scrub = (lines) => lines.map((l) => l.replace(/nps=\d+/, 'nps=N'));
  assert.deepEqual(scrub(replies), expected.split('\n').slice(0, replies.length));
  assert.ok(replies.includes('MESSAGE Level... 4'));
});

test('an engine that fails stops the game, not the page; a runaway search answers in time', async () => {
  // Routes do not see the requests a service worker answers, and the site's own would answer
  // the engine's second try at its module.
  const broken = await web.browser.newPage({ serviceWorkers: 'block' });
  await broken.route('**/ormel-engine.wasm', (route) => route.fulfill({ status: 404 }));
  await broken.goto(web.url);
  await click(broken, 7, 7);
  await broken.waitForSelector('#status[data-state="error"]');
  assert.match(await broken.textContent('#status'), /^Stopped: the engine could not load/);
  await broken.close();

  // A position whose search would run for minutes without its time limit: the engine stops at
  // its move time and answers itself, long before the page's watchdog would step in.
  const page = await openPage();
  await settings(page, { size: '20', rule: '0', first: 'engine', turn: '500' });
  await setUp(page, '7,12 11,9 10,7 12,9 10,9 10,10 12,7 11,10 9,10 11,8 11,11 8,11 13,8 8,12 ' +
    '9,11 8,13 8,14 10,13 10,11 9,13 11,13 7,11 6,10 6,13 7,13 8,9 8,10 10,12 11,6 10,14 11,15 ' +
    '14,9 10,16 11,17 10,5 9,4 13,7 13,9 15,9 14,7');
  await page.waitForSelector('#status[data-state="thinking"]');
  await page.waitForSelector(SETTLED, { timeout: 10000 });
  assert.equal(await page.getAttribute('#status', 'data-state'), 'your-turn');
  assert.equal(stones(await board(page)).length, 41, 'the engine answered with a stone');
  assert.match(await page.textContent('#log'), /Search stopped at its time limit/);
  await page.click('#new-game');
  await page.waitForSelector('#status[data-state="your-turn"]');
  assert.deepEqual(stones(await board(page)), [[9, 9, '1']]);
  assert.deepEqual(page.errors, []);
});
