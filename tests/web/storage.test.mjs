// What the browser keeps, on storage and locks made in memory: a tab's own slot beside another
// tab's, the game of earlier versions taken up, a full storage refused in words and tried
// again, and reviews from two tabs merged rather than overwritten.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { GameStore } from '../../web/storage.js';

class Memory extends Map {
  full = false;
  get length() { return this.size; }
  key(i) { return [...this.keys()][i] ?? null; }
  getItem(k) { return this.get(k) ?? null; }
  setItem(k, v) { if (this.full) throw new Error('QuotaExceededError'); this.set(k, String(v)); }
  removeItem(k) { this.delete(k); }
}

// Locks as the browser keeps them: held until the holder lets go.
const locks = {
  held: new Set(),
  async request(name, options, take) {
    if (this.held.has(name)) return take(null);
    this.held.add(name);
    await take({ name });
    this.held.delete(name);
  },
  async query() { return { held: [...this.held].map((name) => ({ name })) }; },
};

test('tabs keep their own slots; a full storage fails in words; reviews merge', async () => {
  const local = new Memory();
  local.setItem('ormel.game', JSON.stringify({ root: 'old' }));
  const first = new GameStore(local, new Memory(), locks);
  assert.deepEqual((await first.open()).saved, { root: 'old' }, 'the game of earlier versions is taken up');
  assert.equal(first.save({ root: 'a' }), '');

  const second = new GameStore(local, new Memory(), locks);
  const opened = await second.open();
  assert.equal(opened.saved, null, 'a game another tab holds is not taken');
  assert.equal(opened.elsewhere.root, 'a', 'but offered');
  const reviews = second.loadReviews();
  local.full = true;
  assert.match(second.save({ root: 'b' }), /could not be saved/);
  local.full = false;
  assert.equal(second.save({ root: 'b' }), '', 'the next save tries again');
  assert.deepEqual([first.read().root, second.read().root], ['a', 'b']);

  first.saveReviews({ 'x': { value: 1 } });
  assert.deepEqual(Object.keys(second.saveReviews({ ...reviews, 'y': { value: 2 } })), ['x', 'y']);
});
