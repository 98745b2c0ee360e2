// The pool of analysis workers under node, on workers that answer when a test says: work goes
// to free workers first come first (urgent work first, two requests a worker at most), answers
// come back to their own requests, a worker that fails is replaced and its requests redone, and
// cancelled work ends with its worker.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { AnalysisPool } from '../../web/analysis-pool.js';

class FakeWorker {
  constructor(all) {
    this.sent = [];
    all.push(this);
  }

  postMessage(text) { this.sent.push(text); }

  terminate() { this.ended = true; }

  answer(...lines) { for (const line of lines) this.onmessage({ data: { line } }); }

  fail() { this.onmessage({ data: { fatal: 'out of memory' } }); }
}

test('the pool hands out work, gathers it in order, redoes a failed worker\'s and ends cancelled work', async () => {
  const workers = [];
  const pool = new AnalysisPool(2, () => new FakeWorker(workers));
  const group = {};
  const answers = Promise.all(['a', 'b', 'c', 'd', 'e'].map((text) => pool.run(text, group)));
  const urgent = pool.run('u', null, true);
  assert.deepEqual(workers.map((w) => w.sent), [['a', 'c'], ['b', 'd']]);

  workers[1].answer('candidate 1,1 5', 'done'); // b: its worker takes the urgent one, then e waits
  workers[0].fail(); // a and c go to a fresh worker
  assert.deepEqual(workers.map((w) => w.sent), [['a', 'c'], ['b', 'd', 'u'], ['a', 'c']]);
  workers[1].answer('done');
  workers[1].answer('line 2,2', 'done');
  assert.deepEqual(await urgent, ['line 2,2', 'done']);
  workers[2].answer('engine 3,3 -7', 'done');
  workers[2].answer('moves', 'done');
  workers[1].answer('done');
  assert.deepEqual(await answers, [['engine 3,3 -7', 'done'], ['candidate 1,1 5', 'done'], ['moves', 'done'], ['done'], ['done']]);
  assert.deepEqual([workers[0].ended, workers[1].sent.at(-1)], [true, 'e']);

  // Cancelled: the jobs give null and the workers holding them end.
  const mine = [pool.run('f', group), pool.run('g', group)];
  const other = pool.run('h');
  const held = workers.find((w) => w.sent.includes('f'));
  pool.cancel(group);
  assert.deepEqual(await Promise.all(mine), [null, null]);
  assert.equal(held.ended, true);
  // A request whose worker fails three times gives an error.
  const doomed = pool.run('x');
  for (let i = 0; i < 3; ++i) workers.findLast((w) => w.sent.at(-1) === 'x' && !w.ended).fail();
  assert.deepEqual(await doomed, ['error out of memory']);
  workers.findLast((w) => w.sent.at(-1) === 'h' && !w.ended).answer('done');
  assert.deepEqual(await other, ['done']);
});
