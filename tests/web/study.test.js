// The study board in headless Chromium: a position set up in the editor with white to move,
// the engine's analysis of it on the board, a candidate's line on hover, the candidate played;
// then a shared link opened over that game, a bad link refused, and the game brought back; a
// five to make reads as a win, beside a board that leaves the notes in view; an analysis that
// deepens on the pool of workers.
'use strict';
const { test } = require('node:test');
const assert = require('node:assert/strict');
const path = require('node:path');
const { ARTIFACTS, SETTLED, YOUR_TURN, web, openPage, settings, setUp, board, stones, click } = require('./harness.js');

const pt = (r, c) => `.pt[data-row="${r}"][data-col="${c}"]`;

test('set up, analyse, follow a line, play a candidate, share and open a link', async () => {
  const page = await openPage();
  await page.click('#edit');
  for (const [r, c] of [[7, 7], [7, 8], [6, 8]]) await click(page, r, c);
  await page.click('#edit-white');
  for (const [r, c] of [[8, 8], [8, 7], [0, 0]]) await click(page, r, c);
  await page.click('#edit-erase');
  await click(page, 0, 0);
  // Black to move with three black stones and two white ones is no position of a game: the
  // editor stays open.
  await page.click('#edit');
  assert.match(await page.textContent('#analysis-note'), /black needs as many stones as white/);
  assert.equal(await page.getAttribute('#edit', 'aria-pressed'), 'true');
  await page.selectOption('#to-move', 'white');

  await page.selectOption('#analysis-level', '1');
  await page.click('#analyse'); // ends editing, the person playing white
  assert.equal(await page.getAttribute('#edit', 'aria-pressed'), 'false');
  await page.waitForSelector('#analysis-stop:disabled', { timeout: 60000 });
  const progress = await page.$eval('#analysis-progress', (p) => [p.value, p.max]);
  assert.ok(progress[0] === progress[1] && progress[1] > 1, `progress ${progress}`);
  const candidates = await page.$$eval('.pt[data-candidate]', (pts) => pts.map((p) => ({
    rank: Number(p.dataset.candidate), value: Number(p.dataset.value), at: [Number(p.dataset.row), Number(p.dataset.col)],
  })).sort((a, b) => a.rank - b.rank));
  assert.deepEqual(candidates.map((c) => c.rank), candidates.map((_, i) => i + 1));
  assert.ok(candidates.length > 1 && candidates.every((c, i) => i === 0 || candidates[i - 1].value >= c.value), 'best first');
  assert.equal((await page.$$('.pt[data-engine-move]')).length, 1);
  await page.screenshot({ path: path.join(ARTIFACTS, 'study-candidates.png') });

  const [r, c] = candidates[0].at;
  await page.hover(pt(r, c));
  await page.waitForSelector('.pt[data-line-ply="2"]', { timeout: 60000 });
  assert.equal(await page.getAttribute(pt(r, c), 'data-line-ply'), '1');
  assert.equal(await page.$eval(`${pt(r, c)} .ghost`, (g) => g.dataset.player), '2', 'white moves first');
  await page.screenshot({ path: path.join(ARTIFACTS, 'study-line.png') });
  await click(page, r, c);
  await page.waitForSelector(SETTLED);
  const played = await board(page);
  assert.equal(played[r][c], '2', 'the candidate is played for white');
  assert.equal(stones(played).length, 7, 'and the engine answered as black');
  assert.equal((await page.$$('.pt[data-candidate]')).length, 0, 'candidates cleared');

  // A link over the game in progress: the game stays restorable.
  await page.click('#share');
  assert.match(await page.inputValue('#share-link'),
    /#size=15&rule=1&black=i9h8i8&white=h7i7&tomove=white&moves=[a-o]\d+[a-o]\d+$/);
  await page.goto(`${web.url}#size=16&rule=0&black=h8i8&white=h9&tomove=white`);
  await page.waitForSelector(YOUR_TURN);
  assert.deepEqual(stones(await board(page)), [[7, 7, '2'], [8, 7, '1'], [8, 8, '1']]);
  await page.goto(`${web.url}#size=16&moves=h8h8`);
  assert.match(await page.textContent('#analysis-note'), /refused: The link gives the point h8 twice/);
  assert.equal(stones(await board(page)).length, 3, 'a bad link changes nothing');
  await page.click('#restore-game');
  await page.waitForSelector(SETTLED);
  assert.deepEqual(await board(page), played);
});

test('a five to make reads W, and the notes stay beside the board', async () => {
  const page = await openPage();
  // Black's four on row 7 is open at column 11 only.
  await page.goto(`${web.url}#size=15&rule=1&black=h8i8j8k8&white=g8h9i9j7&tomove=black`);
  await page.waitForSelector(YOUR_TURN);
  await page.selectOption('#analysis-level', '1');
  await page.click('#analyse');
  assert.equal(await page.evaluate(() => document.activeElement.id), 'analysis-stop');
  await page.waitForSelector('#analysis-stop:disabled', { timeout: 60000 });
  const five = await page.$eval(pt(7, 11), (p) => [p.querySelector('.cand').textContent, p.dataset.engineMove]);
  assert.deepEqual(five, ['W', '']);
  assert.match(await page.textContent('#analysis-note'), /1 of 1 candidates.*\(a forced win\)/);
  for (const id of ['status', 'analysis-note', 'value']) {
    const box = await page.$eval(`#${id}`, (e) => e.getBoundingClientRect().toJSON());
    assert.ok(box.height > 0 && box.bottom <= 800 && box.right <= 1280, `#${id} in view: ${JSON.stringify(box)}`);
  }
});

// A middle game on 20 x 20 from self-play, black (the person) to move.
const MIDDLE = '7,12 8,11 11,11 7,10 10,12 9,13 10,11 9,12 10,13 10,14 12,11 9,11 9,14 11,12';
// The levels the candidates' points show, as they come.
const watchLevels = () => {
  window.levels = new Set();
  new MutationObserver(() => document.querySelectorAll('.pt[data-level]').forEach((p) => window.levels.add(p.dataset.level)))
    .observe(document.getElementById('board'), { subtree: true, attributeFilter: ['data-level'] });
};
const shown = (page) => page.$$eval('.pt[data-candidate]', (pts) => pts.map((p) =>
  `${p.dataset.row},${p.dataset.col} ${p.dataset.value} level ${p.dataset.level}`).sort());

test('an analysis deepens level by level on the pool: threads agree, the best line waits, Stop keeps what finished', async () => {
  const page = await openPage();
  // Every request the page hands a worker, to tell a line found ahead from one asked for.
  await page.addInitScript(() => {
    window.sent = [];
    const post = Worker.prototype.postMessage;
    Worker.prototype.postMessage = function (m) { window.sent.push(m); return post.call(this, m); };
  });
  await page.reload();
  await page.waitForSelector(YOUR_TURN);
  await settings(page, { size: '20', rule: '0' });
  await setUp(page, MIDDLE);
  await page.selectOption('#analysis-level', '2');
  const seen = [];
  for (const threads of ['1', '2']) {
    await page.selectOption('#analysis-threads', threads);
    await page.evaluate(watchLevels);
    await page.click('#analyse');
    await page.waitForSelector('#analysis-stop:disabled', { timeout: 60000 });
    assert.deepEqual(await page.evaluate(() => [...window.levels].sort()), ['1', '2'], `${threads} threads`);
    seen.push(await shown(page));
  }
  assert.deepEqual(seen[1], seen[0]);
  assert.ok(seen[0].length > 5 && seen[0].every((c) => c.endsWith('level 2')), seen[0].join('; '));
  assert.equal((await page.$$('.pt[data-engine-move]')).length, 1);

  // The best candidate's line is asked for once the last level is in, not when pointed at.
  const best = await page.$eval('.pt[data-candidate="1"]', (p) => `${p.dataset.row},${p.dataset.col}`);
  const asked = () => page.evaluate((at) => window.sent.filter((m) => m.startsWith('line ') && m.includes(` ${at} `)).length, best);
  await page.waitForFunction((at) => window.sent.some((m) => m.startsWith('line ') && m.includes(` ${at} `)), best);
  await page.hover(pt(...best.split(',').map(Number)));
  await page.waitForSelector('.pt[data-line-ply="2"]', { timeout: 60000 });
  assert.equal(await asked(), 1);

  await page.selectOption('#analysis-level', '3');
  await page.click('#analyse');
  await page.waitForSelector('.pt[data-level]');
  await page.click('#analysis-stop');
  assert.match(await page.textContent('#analysis-note'), /Stopped: the finished candidates stay\./);
  assert.ok((await page.$$('.pt[data-candidate]')).length > 0);
  assert.equal(await page.$eval('#analysis-stop', (b) => b.disabled), true);
});
