// The game tree under node: moves added and followed, variations kept, deleted and promoted,
// navigation stopping at both ends; a file another program wrote (readers.test.mjs takes trees
// through SGF and back); and a review's judgements.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { BLACK, Game, WHITE } from '../../web/game.js';
import { readSgf, writeSgf } from '../../web/sgf.js';
import { engineWords, judgeMove, judgeNode } from '../../web/review.js';
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

test('SGF as another program writes it: set-up, variations, comments and unknown properties', () => {
  // As another program writes it: no FF, lower-case letters in old names, a comment with an
  // escaped bracket, a move in the root, a node of comments only, an unknown property, setup.
  const text = `(;GM[4]SZ[15]RU[freestyle]AP[other:1.0]XX[kept]AddBlack[hh][ih]AW[hi]PL[W]
    C[From a book: [ha\\] see p. 3]
    ;W[jj]C[main]
    (;B[gg];W[kk]V[-12]BM[1])
    (;B[kh]TR[aa];C[just a note]))`;
  const read = readSgf(text, 1);
  assert.equal(read.error, undefined);
  const { tree } = read;
  assert.deepEqual(gameAt(tree, tree.root.id).setup, { black: [[7, 7], [7, 8]], white: [[8, 7]], toMove: WHITE });
  const [root, w] = lineThrough(tree, tree.root.id, {});
  assert.deepEqual([root.data.XX, root.data.C], [['kept'], ['From a book: [ha] see p. 3']]);
  assert.deepEqual(w.children.map(moveOf), [{ player: BLACK, at: [6, 6] }, { player: BLACK, at: [7, 10] }]);
  assert.equal(readSgf(writeSgf(tree), 1).tree.root.data.RU[0], 'five or more');
});

test('a move is judged by the values before and after it, the engine\'s own answer at no cost', () => {
  const cases = [
    // before (mover), after (for the opponent), the engine's own answer, cost, mark
    [5, -3, false, 2, null],
    [5, 12, false, 17, 'mistake'],
    [5, 11, false, 16, null],
    [5, 40, true, 0, null], // the engine wavers one move deeper, not the move
    [505, -10, false, 495, 'blunder'], // a forced win no longer forced
    [505, 10, true, 0, null],
    [505, -500, false, null, null], // won and still won
    [-256, 505, false, 249, 'blunder'], // into a forced loss
    [-300, 800, false, null, null], // lost and still lost
  ];
  for (const [before, after, own, cost, mark] of cases) {
    const j = judgeMove(before, after, own);
    assert.deepEqual([j.cost, j.mark], [cost, mark], `${before} -> ${after}`);
  }

  // A game of three moves: the engine's own answer, a blunder with the file's own comment (kept
  // above the engine's words, once however often it is reviewed), and a lost game staying lost.
  const game = new Game(15, 1);
  [[7, 7], [8, 8], [6, 6]].forEach((m) => game.play(...m));
  let tree = treeFromGame(game);
  const [, m1, m2, m3] = lineThrough(tree, tree.root.id, {});
  tree = setProperties(tree, m2.id, { C: ['Played at the club.'] });
  const name = ([r, c]) => `${r},${c}`;
  tree = judgeNode(tree, m1.id, { at: [7, 7], value: 600 }, { at: [8, 8], value: 20 }, name);
  for (let i = 0; i < 2; ++i) tree = judgeNode(tree, m2.id, { at: [6, 6], value: 0 }, { at: [6, 6], value: 700 }, name);
  tree = judgeNode(tree, m3.id, { at: [9, 9], value: 700 }, { at: [1, 1], value: -900 }, name);
  const data = (node) => tree.get(node.id).data;
  assert.deepEqual([data(m1).BM, data(m1).V, data(m1).C], [undefined, ['600'], ['The engine would have played 7,7 too (a forced win).']]);
  assert.deepEqual([data(m2).BM, data(m2).V], [['2'], ['700']]);
  assert.equal(data(m2).C[0], 'Played at the club.\n\nA blunder: The engine would have played 6,6 (0); 8,8 leaves a forced loss, a cost of 700.');
  assert.equal(engineWords(data(m2).C[0]), data(m2).C[0].split('\n\n')[1]);
  assert.deepEqual([data(m3).BM, data(m3).C], [undefined, ['The engine would have played 9,9 (a forced win); 6,6 leaves a forced win.']]);
});
