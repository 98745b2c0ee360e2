// The game as a tree of moves: the line played, and every variation tried beside it. Nodes hold
// SGF properties as SGF keeps them (arrays of strings): the root the board's size, rule and any
// set-up stones, every other node one move (B or W) and whatever a file or a review added to
// it (comments, values, marks, properties other programs wrote). The tree itself is an
// immutable game tree: each change gives a new tree, so the page keeps one and replaces it.
//
// Navigation follows "currents": for each node the child chosen last, the first child where
// none was chosen. The line through a node is the path from the root to it, then on along the
// chosen children to the end.

import GameTree from '@sabaki/immutable-gametree';
import { BLACK, Game, RULE_NAMES, WHITE, setUpGame } from './game.js';
import { fromSgfPoint, toSgfPoint } from './records.js';

// The move of a node: {player, at} or null (the root, or a node of comments only).
export function moveOf(node) {
  const colour = node.data.B ? 'B' : node.data.W ? 'W' : null;
  if (!colour) return null;
  return { player: colour === 'B' ? BLACK : WHITE, at: fromSgfPoint(node.data[colour][0]) };
}

function sameMove(a, b) {
  return (a.B && b.B && a.B[0] === b.B[0]) || (a.W && b.W && a.W[0] === b.W[0]);
}

// A tree around an existing root node (as a parsed file or a saved game gives it), its ids kept.
// Appending the move a child already holds follows that child instead of adding another.
export function treeOf(root) {
  let maxId = -1;
  const stack = [root];
  while (stack.length) {
    const node = stack.pop();
    maxId = Math.max(maxId, Number(node.id));
    stack.push(...node.children);
  }
  let next = maxId + 1;
  return new GameTree({
    getId: () => next++,
    root,
    merger: (node, data) => (sameMove(node.data, data) ? node.data : null),
  });
}

// The root properties of a game of this size and rule, set up as `setup` says.
export function rootData(size, rule, setup) {
  const data = { GM: ['4'], FF: ['4'], CA: ['UTF-8'], AP: ['ormel'], SZ: [String(size)], RU: [RULE_NAMES[rule]] };
  if (setup) {
    if (setup.black.length) data.AB = setup.black.map(toSgfPoint);
    if (setup.white.length) data.AW = setup.white.map(toSgfPoint);
    data.PL = [setup.toMove === BLACK ? 'B' : 'W'];
  }
  return data;
}

// A tree holding `game` as its one line.
export function treeFromGame(game) {
  const root = { id: 0, data: rootData(game.size, game.rule, game.setup), parentId: null, children: [] };
  let parent = root;
  game.moves.forEach((at, i) => {
    const node = { id: i + 1, data: { [game.playerOf(i) === BLACK ? 'B' : 'W']: [toSgfPoint(at)] }, parentId: parent.id, children: [] };
    parent.children.push(node);
    parent = node;
  });
  return treeOf(root);
}

// The nodes from the root to `id`.
export function pathTo(tree, id) {
  const path = [];
  for (let node = tree.get(id); node; node = tree.get(node.parentId)) path.push(node);
  return path.reverse();
}

// The set-up game of the root (its size, rule and stones). The root's properties were checked
// when the tree was read, so this does not fail.
export function startOf(tree) {
  const d = tree.root.data;
  const size = Number(d.SZ?.[0] ?? 15);
  const rule = d.RU?.[0] === RULE_NAMES[0] ? 0 : 1;
  if (!d.AB && !d.AW) return new Game(size, rule);
  const black = (d.AB || []).map(fromSgfPoint);
  const white = (d.AW || []).map(fromSgfPoint);
  const toMove = d.PL ? (d.PL[0] === 'B' ? BLACK : WHITE) : black.length > white.length ? WHITE : BLACK;
  return setUpGame(size, rule, black, white, toMove).game;
}

// The game as it stands at node `id`.
export function gameAt(tree, id) {
  const game = startOf(tree);
  for (const node of pathTo(tree, id)) {
    const move = moveOf(node);
    if (move) game.play(...move.at);
  }
  return game;
}

// The child of `id` that the line follows.
export function nextOf(tree, id, currents) {
  const node = tree.get(id);
  if (!node || node.children.length === 0) return null;
  return node.children.find((c) => c.id === currents[id]) ?? node.children[0];
}

// The line through `id`: its path, then on along the chosen children.
export function lineThrough(tree, id, currents) {
  const line = pathTo(tree, id);
  for (let next = nextOf(tree, id, currents); next; next = nextOf(tree, next.id, currents)) line.push(next);
  return line;
}

// The node `step` moves along the line from `id` (negative: back towards the root), stopping at
// either end.
export function navigate(tree, id, step, currents) {
  let node = tree.get(id);
  for (; step < 0 && node.parentId !== null; ++step) node = tree.get(node.parentId);
  for (; step > 0; --step) {
    const next = nextOf(tree, node.id, currents);
    if (!next) break;
    node = next;
  }
  return node;
}

// Adds `player`'s stone at `at` after node `parentId`, or follows the child that already holds
// it. Returns {tree, id}.
export function addMove(tree, parentId, player, at) {
  let id = null;
  const next = tree.mutate((draft) => {
    id = draft.appendNode(parentId, { [player === BLACK ? 'B' : 'W']: [toSgfPoint(at)] });
  });
  return { tree: next, id };
}

// The tree without node `id` and everything after it (the root stays).
export function deleteBranch(tree, id) {
  if (id === tree.root.id) return tree;
  return tree.mutate((draft) => draft.removeNode(id));
}

// The line to `id` becomes the main line: at every branch on its way it is the first child.
export function promote(tree, id) {
  return tree.mutate((draft) => {
    for (let node = tree.get(id); node && node.parentId !== null; node = tree.get(node.parentId)) {
      draft.shiftNode(node.id, 'main');
    }
  });
}

// Sets (or, with an empty array, removes) properties of node `id`: {V: ['12'], C: [...]}.
export function setProperties(tree, id, properties) {
  return tree.mutate((draft) => {
    for (const [key, values] of Object.entries(properties)) {
      if (values.length) draft.updateProperty(id, key, values);
      else draft.removeProperty(id, key);
    }
  });
}
