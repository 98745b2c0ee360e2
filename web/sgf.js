// SGF files: the game tree written out with its variations, and files read back into trees,
// ours and other programs' alike. The SGF library parses and writes the text (escaping, any
// property); what is ours is checked here: the game (GM[4]), the board, the rule, set-up
// stones, and every move of every variation replayed by the page's rules.
//
// Written as GM[4] FF[4] CA[UTF-8] AP[ormel] SZ[n], RU[exactly five] or RU[five or more],
// AB/AW/PL for a set-up position, RE when the main line is decided (B+, W+, 0 for a full board,
// B+F or W+F for a win by forfeit), then one move a node, variations in brackets. A review adds
// V, BM and C to the moves it judged. Properties the page does not use stay as they were read.
//
// Read leniently, as other tools write it: white space anywhere between tokens, properties we
// do not use, comments with escaped brackets, nodes without moves, and variations. A file
// without GM is taken as this game, one without SZ as 15 × 15. RU is read in the page's words,
// as "freestyle" or "standard", or as the protocol's number (0 five or more, 1 exactly five),
// as tournament managers write it; without it the settings' rule is taken. A file may hold many
// games, as a manager writes a whole match into one: each is read on its own. RE is kept only in
// the record of two named players (PB, PW); for the rest, the moves decide the result.

import sgf from '@sabaki/sgf';
import { BLACK, EMPTY, WHITE, setUpGame } from './game.js';
import { fromSgfPoint, playOrExplain, replayAtEitherRule } from './records.js';
import { recordOf } from './players.js';
import { lineThrough, gameAt, treeOf } from './tree.js';

const RESULTS = { [BLACK]: 'B+', [WHITE]: 'W+', [EMPTY]: '0' };
// What RU may say, after lower case and runs of spaces, hyphens and underscores become one space.
const RULE_VALUES = {
  'exactly five': 1,
  standard: 1,
  'five or more': 0,
  freestyle: 0,
  free: 0,
  0: 0,
  1: 1,
};
// Rules of the protocol's number (and their names) that are not played here.
const OTHER_RULES = { 2: 'the continuous game', 4: 'renju', 8: 'caro', renju: 'renju', caro: 'caro' };
const MAX_TEXT = 4 << 20; // a record of every move of many games stays far below this
// Nodes from the root to the end of a line: 400 moves and notes between them stay below this.
// The tree and the SGF writer recurse along a line, and a few thousand overflow the stack.
const MAX_LINE = 1000;

// A win without a line on the board was given, not played (an engine that ran over its time):
// the file says so with +F, since a reader that replays the moves will find no five.
function resultText({ winner, line }) {
  return RESULTS[winner] + (winner !== EMPTY && line.length === 0 ? 'F' : '');
}

// The tree as an SGF file. `result` overrides what the main line's moves decide (a forfeit).
export function writeSgf(tree, result = null) {
  const main = [...tree.listMainNodes()];
  const decided = result || gameAt(tree, main[main.length - 1].id).result;
  const root = { ...tree.root, data: { ...tree.root.data } };
  if (decided) root.data.RE = [resultText(decided)];
  return sgf.stringify([root]);
}

// Where each of the file's first `limit` games ends, or what is wrong with the text: the
// library is lenient with a file cut short or with stray characters, which a file must not be
// here. What follows the last whole game is not read.
function gameEnds(text, limit) {
  const ends = [];
  const where = (t) => `${ends.length ? `Game ${ends.length + 1}: ` : ''}line ${t.row + 1}`;
  let depth = 0;
  for (const t of sgf.tokenizeIter(text)) {
    if (depth === 0 && !(t.type === 'parenthesis' && t.value === '(')) break;
    if (t.type === 'invalid') {
      if (t.value === '[') return `The SGF ends inside a property value (a "]" is missing from ${where(t)}).`;
      return `The SGF is not readable at ${where(t)}: unexpected "${t.value}".`;
    }
    if (t.type === 'parenthesis') depth += t.value === '(' ? 1 : -1;
    if (depth === 0 && ends.push(t.pos + 1) === limit) break;
  }
  if (depth > 0) return `The SGF ends before ${ends.length ? `game ${ends.length + 1}` : 'the game'} does (a ")" is missing).`;
  return ends.length ? ends : 'This is not an SGF file: it should begin with "(;".';
}

// The first game of an SGF file as a game tree: {tree, note} or {error}; the note says what
// the page made of a rule the file does not give.
export function readSgf(text, fallbackRule) {
  const read = readSgfGames(text, fallbackRule, 1);
  if (read.error) return read;
  const { info, ...game } = read.games[0];
  return game;
}

// Every game of an SGF file, each {tree, note} or {error} with what the list of games shows of
// it ({record, date, moves}); or {error} when the file does not read as SGF.
export function readSgfGames(text, fallbackRule, limit = Infinity) {
  if (text.length > MAX_TEXT) return { error: 'The file is too large for a game record.' };
  const ends = gameEnds(text, limit);
  if (typeof ends === 'string') return { error: ends };
  let roots;
  try {
    // A property without a value (";B;") says nothing, and would be written back with one.
    const dropEmpty = ({ node }) => {
      for (const id in node.data) if (node.data[id].length === 0) delete node.data[id];
    };
    roots = sgf.parse(text.slice(0, ends[ends.length - 1]), { onNodeCreated: dropEmpty });
  } catch (e) {
    if (e instanceof RangeError) return { error: 'The SGF nests its variations too deeply to read.' };
    return { error: `The SGF is not readable: ${e.message}.` };
  }
  if (roots.length === 0) return { error: 'This SGF file holds no game.' };
  return { games: roots.map((root) => ({ info: infoOf(root), ...readGame(root, fallbackRule) })) };
}

// What a list of games shows of one: its players and result, its date, the moves of its main line.
function infoOf(root) {
  let moves = 0;
  for (let node = root; node; node = node.children[0]) moves += node.data.B || node.data.W ? 1 : 0;
  return { record: recordOf(root.data), date: root.data.DT?.[0].trim() ?? '', moves };
}

function readGame(root, fallbackRule) {
  root.parentId = null;
  moveOutOfRoot(root);
  const board = readBoard(root.data);
  if (board.error) return board;
  const replay = (rule) => {
    const setUp = readSetup(root.data, board.size, rule);
    return setUp.error ? setUp : { error: replayAll(root, setUp.game), rule };
  };
  const read = board.rule === null ? replayAtEitherRule(fallbackRule, board.why, replay) : replay(board.rule);
  if (read.error) return { error: read.error };
  root.data.SZ = [String(board.size)];
  root.data.RU = [read.rule === 1 ? 'exactly five' : 'five or more'];
  root.data.GM = ['4'];
  if (!recordOf(root.data)) delete root.data.RE; // the moves decide the result
  return read.note ? { tree: treeOf(root), note: read.note } : { tree: treeOf(root) };
}

// A move in the root node (some programs write the first move there) goes into a node of its
// own after the root, which here holds the board and its set-up only.
function moveOutOfRoot(root) {
  const colours = ['B', 'W'].filter((c) => root.data[c]); // both: a node of two stones, refused
  if (colours.length === 0) return;
  let maxId = 0;
  const stack = [root];
  while (stack.length) {
    const node = stack.pop();
    maxId = Math.max(maxId, Number(node.id));
    stack.push(...node.children);
  }
  const data = Object.fromEntries(colours.map((c) => [c, root.data[c]]));
  const node = { id: maxId + 1, data, parentId: root.id, children: root.children };
  for (const child of node.children) child.parentId = node.id;
  for (const c of colours) delete root.data[c];
  root.children = [node];
}

// The size and rule of the root's properties: {size, rule} or {error}. The rule is null where
// the file does not give one the page knows, and `why` says so.
function readBoard(data) {
  const gm = data.GM?.[0].trim();
  if (gm !== undefined && gm !== '4') {
    return { error: `This SGF file is for another game (GM[${gm}]); Gomoku is GM[4].` };
  }
  let size = 15;
  if (data.SZ) {
    const sz = /^\s*(\d+)\s*(?::\s*(\d+)\s*)?$/.exec(data.SZ[0]);
    if (!sz) return { error: `The board size SZ[${data.SZ[0].slice(0, 12)}] is not readable.` };
    if (sz[2] !== undefined && sz[2] !== sz[1]) {
      return { error: `The board in this file is not square (SZ[${data.SZ[0]}]).` };
    }
    size = Number(sz[1]);
    if (size < 15 || size > 20) {
      return { error: `The board in this file is ${sz[1]} × ${sz[1]}; boards here are 15 to 20.` };
    }
  }
  const ru = data.RU?.[0].trim() ?? '';
  if (ru === '') return { size, rule: null, why: 'The file does not give its rule' };
  const number = /^\d+$/.test(ru);
  const word = number ? String(Number(ru)) : ru.toLowerCase().replace(/[\s_-]+/g, ' ');
  const shown = ru.slice(0, 20);
  if (Object.hasOwn(RULE_VALUES, word)) return { size, rule: RULE_VALUES[word] };
  if (number || Object.hasOwn(OTHER_RULES, word)) {
    return {
      error: `${OTHER_RULES[word] ?? 'The rule'} (RU[${shown}]) is not played here: only five or more (RU[0]) ` +
        'and exactly five (RU[1]) are.',
    };
  }
  return { size, rule: null, why: `The file's rule RU[${shown}] is not one the page knows` };
}

// The game the root node sets up: stones from AB and AW (AE has nothing to take away on an
// empty board), PL for the side to move, else the side the stone counts give. {game} or {error}.
function readSetup(data, size, rule) {
  const lists = { AB: [], AW: [] };
  for (const id of ['AB', 'AW']) {
    for (const value of data[id] || []) {
      const at = fromSgfPoint(value);
      if (!at) {
        return { error: `The set-up stone ${id}[${value.trim().slice(0, 12)}] is not a point (two letters; ranges are not read).` };
      }
      if (at[0] >= size || at[1] >= size) return { error: `The set-up stone ${id}[${value.trim()}] is off a ${size} × ${size} board.` };
      lists[id].push(at);
    }
  }
  const pl = data.PL?.[0].trim().toUpperCase();
  if (pl !== undefined && pl !== 'B' && pl !== 'W') return { error: `PL[${pl.slice(0, 12)}] names neither B nor W.` };
  if (pl) data.PL = [pl]; // as read here: the tree's start (tree.js) would take PL[b] for white
  const toMove = pl ? (pl === 'B' ? BLACK : WHITE) : lists.AB.length > lists.AW.length ? WHITE : BLACK;
  const set = setUpGame(size, rule, lists.AB, lists.AW, toMove);
  return set.error ? { error: `The file's set-up position is refused: ${set.error}` } : set;
}

// Plays every move of every variation from `start`; the first that cannot be played, in words,
// or null. Depth first with a stack of its own, so no file can overflow the call stack.
function replayAll(root, start) {
  const stack = [[root, start, 0]];
  while (stack.length) {
    const [node, before, depth] = stack.pop();
    if (depth > MAX_LINE) return `A line of this SGF runs past ${MAX_LINE} nodes, longer than any game here.`;
    const error = node === root ? null : playNode(node, before);
    if (error) return error;
    node.children.forEach((child, i) => {
      stack.push([child, i === node.children.length - 1 ? before : before.replay(before.moves.length), depth + 1]);
    });
  }
  return null;
}

// Plays the node's move on `game` (which it changes), or says why it cannot be played.
function playNode(node, game) {
  for (const setup of ['AB', 'AW', 'AE']) {
    if (node.data[setup]) {
      return `The file sets stones up with ${setup}[] after the game began; only its first node may.`;
    }
  }
  const moves = [];
  for (const colour of ['B', 'W']) for (const v of node.data[colour] || []) moves.push([colour, v]);
  if (moves.length === 0) return null;
  const number = game.moves.length + 1;
  if (moves.length > 1) return `Move ${number} holds more than one stone.`;
  const [colour, value] = moves[0];
  const shown = value.length > 12 ? `${value.slice(0, 12)}…` : value;
  const what = `Move ${number} (${colour}[${shown}])`;
  const expected = game.toMove() === BLACK ? 'B' : 'W';
  if (colour !== expected) {
    return number === 1 && !game.setup ? `${what} is White's, but Black moves first.`
      : number === 1 ? `${what} is ${colour === 'B' ? 'Black' : 'White'}'s, but the other side is to move.`
      : `${what} is ${colour === 'B' ? 'Black' : 'White'}'s again; the colours alternate.`;
  }
  const point = value.trim();
  // An empty value passes; so does "tt" where t is off the board (boards under 20).
  if (point === '' || (point === 'tt' && game.size <= 19)) return `${what} is a pass; a game here has no passes.`;
  const at = fromSgfPoint(point);
  if (!at) return `${what} is not readable: a point is two letters, column then row.`;
  node.data[colour] = [point]; // written back without the white space
  return playOrExplain(game, at[0], at[1], what);
}

// The main line's game at its end, as a reader of the file would play it.
export function mainLineGame(tree) {
  const line = lineThrough(tree, tree.root.id, {});
  return gameAt(tree, line[line.length - 1].id);
}
