// The board page in headless Chromium: whole games against the engine in its worker, the
// page's judgement of fives and draws, undo, new game and the move list, and an engine that
// fails or runs away. (The worker's module answers the deepest bench position under node, in
// the transcripts.)
//
//   ORMEL_SITE=build/web/site node --test tests/web/page.test.js
//
// Screenshots of finished games go to ORMEL_ARTIFACTS (build/web/artifacts by default).
'use strict';
const { test } = require('node:test');
const assert = require('node:assert/strict');
const path = require('node:path');
const {
  ARTIFACTS, YOUR_TURN, SETTLED, web, openPage, settings, state, board, stones, setUp, click, clickFree,
  playFree,
} = require('./harness.js');

// Plays the person's side (player '1' or '2') with clickFree until the game ends, then checks
// how the page tells its end. Every engine reply must be one new stone of the engine's colour
// on a point that was free.
async function playOut(page, human) {
  await page.waitForSelector(SETTLED);
  while ((await state(page)) === 'your-turn') {
    const before = await board(page);
    const [r, c] = await clickFree(page);
    await page.waitForSelector(SETTLED);
    const now = await board(page);
    assert.equal(now[r][c], human, `the person's stone at ${r},${c}`);
    const added = stones(now).filter(([y, x]) => before[y][x] === '.' && !(y === r && x === c));
    if (added.length === 0 && (await state(page)) === 'won') break;
    assert.deepEqual(added.map(([, , player]) => player), [human === '1' ? '2' : '1'], `one engine reply after ${r},${c}`);
  }
  const won = (await state(page)) === 'won';
  assert.ok(won || (await state(page)) === 'lost', `the game ended with a winner, not ${await state(page)}`);
  assert.match(await page.textContent('#status'), won ? /^You win/ : /^The engine wins/);
  assert.match(await page.textContent('#value'), won ? /over: you won/ : /over: the engine won/);
  const marked = await page.$$eval('.stone.win', (s) => s.map((e) => e.dataset.player));
  assert.ok(marked.length >= 5 && marked.every((p) => (p === human) === won), `the winner's line is marked: ${marked}`);
}

test('plays whole games against the engine, on both sides, to a named winner', async () => {
  const page = await openPage();
  await page.click('#new-game');
  await playOut(page, '1');
  await page.screenshot({ path: path.join(ARTIFACTS, 'finished-15x15.png') });

  await settings(page, { size: '20', rule: '0', first: 'engine' });
  await page.click('#new-game');
  await playOut(page, '2');
  await page.setViewportSize({ width: 390, height: 844 });
  await page.screenshot({ path: path.join(ARTIFACTS, 'finished-20x20-phone.png'), fullPage: true });
  assert.ok(await page.evaluate(() => document.documentElement.scrollWidth <= innerWidth),
    'the page fits a phone-sized screen');
});

test('judges a five by the rule and a full board as a draw', async () => {
  // The rules themselves are tested under node: here the page's word and marking. Black's 7,6
  // makes six in a row: play goes on with exactly five, the six win with five or more.
  const page = await openPage();
  for (const [rule, after, marked] of [['1', 'your-turn', 0], ['0', 'won', 6]]) {
    await settings(page, { rule });
    await setUp(page, '7,3 0,0 7,4 0,2 7,5 0,4 7,7 0,6 7,8 0,8');
    await click(page, 7, 6);
    await page.waitForSelector(SETTLED);
    assert.equal(await state(page), after, `rule ${rule}`);
    assert.equal((await page.$$('.stone.win')).length, marked, `rule ${rule}`);
  }

  // A full board without a five: colours in pairs along each row, shifted two per row.
  const order = { 1: [], 2: [] };
  for (let i = 0; i < 225; ++i) order[(i % 15 + 2 * Math.floor(i / 15)) % 4 < 2 ? 1 : 2].push(`${Math.floor(i / 15)},${i % 15}`);
  const full = order[1].flatMap((m, i) => [m, ...order[2].slice(i, i + 1)]);
  await settings(page, { rule: '1' });
  await setUp(page, full.slice(0, -1).join(' '));
  await click(page, ...full.at(-1).split(','));
  await page.waitForSelector('#status[data-state="draw"]');
  assert.match(await page.textContent('#status'), /^Draw/);
});

test('undo, the move list and new game restore the board exactly', async () => {
  const page = await openPage();
  const seen = [await board(page)];
  // A stone from the keyboard on the game the page opens with: the cursor starts at the centre.
  await page.focus('#board');
  await page.keyboard.press('ArrowRight');
  await page.keyboard.press('Enter');
  await page.waitForSelector(YOUR_TURN);
  assert.equal((await board(page))[7][8], '1');
  await page.click('#new-game');
  for (let i = 0; i < 3; ++i) {
    await playFree(page, 1);
    seen.push(await board(page));
  }
  const list = await page.inputValue('#moves');
  assert.equal(list.split(/\s+/).length, 6);

  await page.click('#undo');
  assert.deepEqual(await board(page), seen[2]);
  await page.click('#undo');
  assert.deepEqual(await board(page), seen[1]);
  // The engine now plays on from a position it is handed whole.
  await playFree(page, 1);
  assert.equal(stones(await board(page)).length, 4);

  await setUp(page, list);
  assert.deepEqual(await board(page), seen[3]);

  // Undo while the engine thinks: the board goes back and the game goes on. Both clicks land in
  // one task, so the engine's answer cannot come between them however fast it is.
  await settings(page, { 'turn-time': '2000' });
  await page.click('#new-game');
  const thinking = await page.evaluate(() => {
    document.querySelector('.pt[data-row="7"][data-col="7"]').click();
    const now = document.getElementById('status').dataset.state;
    document.getElementById('undo').click();
    return now;
  });
  assert.equal(thinking, 'thinking');
  assert.deepEqual(await board(page), seen[0]);
  await click(page, 5, 5);
  await page.waitForSelector(YOUR_TURN);
  assert.equal(stones(await board(page)).length, 2);
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
  await settings(page, { size: '20', rule: '0', first: 'engine' });
  await setUp(page, '7,12 11,9 10,7 12,9 10,9 10,10 12,7 11,10 9,10 11,8 11,11 8,11 13,8 8,12 ' +
    '9,11 8,13 8,14 10,13 10,11 9,13 11,13 7,11 6,10 6,13 7,13 8,9 8,10 10,12 11,6 10,14 11,15 ' +
    '14,9 10,16 11,17 10,5 9,4 13,7 13,9 15,9 14,7', { timeout: 10000 });
  assert.equal(await state(page), 'your-turn');
  assert.equal(stones(await board(page)).length, 41, 'the engine answered with a stone');
  assert.match(await page.textContent('#log'), /Search stopped at its time limit/);
  // A new game goes on with the engine, which opens it at the centre.
  await page.click('#new-game');
  await page.waitForSelector(YOUR_TURN);
  assert.deepEqual(stones(await board(page)), [[9, 9, '1']]);
});
