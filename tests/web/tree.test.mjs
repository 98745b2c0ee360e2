// The game tree under node: moves added and followed, variations kept, deleted and promoted,
// navigation stopping at both ends; and the tree through SGF and back, with its variations,
// a review's properties, and a file another program wrote.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { BLACK, Game, WHITE } from '../../web/game.js';
import { readSgf, writeSgf } from '../../web/sgf.js';
import { judgeMove, reviewProperties } from '../../web/review.js';
import {
  addMove, deleteBranch, gameAt, lineThrough, moveOf, navigate, promote, setProperties, treeFromGame,
} from '../../web/tree.js';

const points = (nodes) => nodes.map((n) => moveOf(n)?.at ?? 'root');

test('moves are added once, variations kept, deleted and promoted; navigation stops at the ends', () => {
  const game = new Game(15, 1);
  [[7, 7], [8, 8], [6, 6]].forEach((m) => game.play(...m));
  let tree = treeFromGame(game);
  const main = lineThrough(tree, tree.root.id, {});
  assert.deepEqual(points(main), ['root', [7, 7], [8, 8], [6, 6]]);
  const [, first, second] = main;

  const again = addMove(tree, first.id, WHITE, [8, 8]);
  assert.equal(again.id, second.id, 'the same move follows the child that holds it');
  ({ tree } = again);
  const variation = addMove(tree, first.id, WHITE, [6, 8]);
  tree = variation.tree;
  assert.deepEqual(tree.get(first.id).children.map((c) => moveOf(c).at), [[8, 8], [6, 8]]);
  assert.deepEqual(gameAt(tree, variation.id).moves, [[7, 7], [6, 8]]);

  const currents = { [first.id]: variation.id };
  assert.deepEqual(points(lineThrough(tree, tree.root.id, currents)), ['root', [7, 7], [6, 8]]);
  assert.equal(navigate(tree, tree.root.id, 99, {}).id, main[3].id, 'last');
  assert.equal(navigate(tree, main[3].id, -99, {}).id, tree.root.id, 'first');
  assert.equal(navigate(tree, tree.root.id, -1, {}).id, tree.root.id, 'back from the start');
  assert.equal(navigate(tree, tree.root.id, 2, currents).id, variation.id, 'on along the chosen child');

  const promoted = promote(tree, variation.id);
  assert.deepEqual(points(lineThrough(promoted, promoted.root.id, {})), ['root', [7, 7], [6, 8]]);
  const deleted = deleteBranch(tree, second.id);
  assert.deepEqual(points(lineThrough(deleted, deleted.root.id, {})), ['root', [7, 7], [6, 8]]);
  assert.equal(deleteBranch(tree, tree.root.id), tree, 'the root stays');
});

test('SGF keeps the tree: variations, review properties, comments and unknown properties', () => {
  // As another program writes it: no FF, lower-case letters in old names, a comment with an
  // escaped bracket, a move in the root, a node of comments only, an unknown property, setup.
  const text = `(;GM[4]SZ[15]RU[freestyle]AP[other:1.0]XX[kept]AddBlack[hh][ih]AW[hi]PL[W]
    C[From a book: [ha\\] see p. 3]
    ;W[jj]C[main]
    (;B[gg];W[kk]V[-12]BM[1])
    (;B[kh]TR[aa];C[just a note]))`;
  const read = readSgf(text, 1);
  assert.equal(read.error, undefined);
  let { tree } = read;
  assert.deepEqual(gameAt(tree, tree.root.id).setup, { black: [[7, 7], [7, 8]], white: [[8, 7]], toMove: WHITE });
  const [, w] = lineThrough(tree, tree.root.id, {});
  assert.equal(w.children.length, 2);
  assert.equal(tree.root.data.XX[0], 'kept');
  const kh = w.children[1];
  tree = setProperties(tree, kh.id, { V: ['5'], BM: ['2'], C: ['The engine would have played [g7]; this cost 30.'] });

  const back = readSgf(writeSgf(tree), 1).tree;
  const shape = (t) => [...t.listNodes()].map((n) => ({ ...n.data, id: undefined }));
  assert.deepEqual(shape(back), shape(tree));
  const bm = back.get(back.root.children[0].children[1].id);
  assert.deepEqual([bm.data.BM, bm.data.C], [['2'], ['The engine would have played [g7]; this cost 30.']]);
  assert.equal(moveOf(bm).player, BLACK);
  assert.equal(readSgf(writeSgf(tree), 1).tree.root.data.RU[0], 'five or more');
});

test('a move is judged by the values before and after it', () => {
  const cases = [
    // before (mover), after (for the opponent), cost, mark
    [5, -3, 2, null],
    [5, 12, 17, 'mistake'],
    [5, 11, 16, null],
    [505, -10, 495, 'blunder'], // a forced win no longer forced
    [505, -500, 5, null], // still winning
    [-256, 505, 249, 'blunder'], // into a forced loss
    [-300, 505, 205, null], // lost already: no cost counts
  ];
  for (const [before, after, cost, mark] of cases) {
    const j = judgeMove(before, after);
    assert.deepEqual([j.cost, j.mark], [cost, mark], `${before} -> ${after}`);
  }
  const props = reviewProperties(judgeMove(5, 12), false, 'h8', 'a1');
  assert.deepEqual([props.V, props.BM], [['12'], ['1']]);
  assert.match(props.C[0], /^A mistake: The engine would have played h8 \(\+5\); a1 leaves -12, a cost of 17\.$/);
});
