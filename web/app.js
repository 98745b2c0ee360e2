// The board page: a person plays the engine, which runs in a worker and is driven through its
// protocol the way a tournament manager drives it: START and INFO before every game, time_left
// before every move, TURN for the person's move, and RESTART with a BOARD block whenever the
// engine's board no longer matches the game (after an undo, a pasted list, a hint or a reload).
// Beside it the page studies positions and games: an editor, the engine's analysis in a worker
// of its own, links to positions, and the game as a tree of variations that can be walked
// through and reviewed move by move. The game on the engine's side is the line that ends at
// `gameEnd`; the board shows the position at `current`, which is that end while the game is
// played and any node of the tree while it is studied. This module wires the game, its
// records, the engine link, the value plot and the study parts to the page.
import { BLACK, WHITE, EMPTY, Game, boardBlock, other, starPoints } from './game.js';
import { formatLetters, formatMoves, gameFileName, letterPoint, parseLetters, parseMoves } from './records.js';
import { readSgf, writeSgf } from './sgf.js';
import {
  addMove, deleteBranch, gameAt, lineThrough, moveOf, navigate, nextOf, pathTo, promote,
  treeFromGame, treeOf,
} from './tree.js';
import { engineWords, judgeNode } from './review.js';
import { EngineLink, readLine } from './engine-link.js';
import { WON, describeResult, describeSearch, describeValue, drawPlot, drawReview } from './value-plot.js';
import { registerOffline } from './offline.js';
import { Editor } from './editor.js';
import { Analysis, rankCandidates } from './analysis.js';
import { drawCandidates, drawLine, valueWords } from './study.js';
import { formatLink, parseLink } from './link.js';

const $ = (id) => document.getElementById(id);
const LOG_LINES = 200;
const SAVED = 'ormel.game'; // the game in progress, in the browser's storage
const PREVIOUS = 'ormel.previous'; // the game a link replaced, until it is brought back
const REVIEWS = 'ormel.reviews'; // the engine's answers found by reviews, by level and position
const REVIEWS_KEPT = 4000;

const page = {
  settings: null, // the form's values when the game began
  tree: null, // the game tree (tree.js)
  current: null, // id of the node the board shows
  currents: {}, // the child each node's line follows
  gameEnd: null, // id of the node where the game against the engine stands
  game: null, // the Game at `current`
  forfeit: null, // the result given when the engine ran over its time
  human: BLACK,
  engine: null, // EngineLink, or null until one is needed
  spent: 0, // ms the engine has searched in this game, for its clock
  engineMoves: -1, // how many of the game's moves the engine's board holds; -1 when it differs
  waiting: null, // {kind: 'move' | 'hint', watchdog} while the engine is asked
  search: null, // what the search under way has said of itself
  values: {}, // by node id, for each engine move: {value, level, dropped, stopped}
  hint: null, // [row, col] the engine suggests for the person
  cursor: null, // [row, col] of the keyboard's point
  note: '', // why the game stopped, when the engine did not finish it
  builtSize: 0,
  builtNotation: '',
  editor: null, // Editor while the position is being set up
  analysis: null, // Analysis of the position shown
  analysedKey: '', // which position the analysis is of
  lineAt: null, // [row, col] of the candidate whose line is shown
  pointer: 'mouse', // how the board was last touched: a tap on a candidate first shows its line
  reviewer: null, // Analysis that runs reviews, in a worker of its own
  review: null, // {level, done, total} while a review runs
  reviews: {}, // `${level} ${positionKey}` -> {at, value}: the engine's answers found so far
};

// ---- the tree and the positions in it

// Shows node `id`: the line now goes through it.
function goTo(id) {
  for (const node of pathTo(page.tree, id)) {
    if (node.parentId !== null) page.currents[node.parentId] = node.id;
  }
  page.current = id;
  page.game = gameAt(page.tree, id);
  if (id === page.gameEnd && page.forfeit) page.game.result = page.forfeit;
  page.hint = null;
}

function isLive() {
  return page.current === page.gameEnd;
}

// The game against the engine, at its end.
function liveGame() {
  if (isLive()) return page.game;
  const game = gameAt(page.tree, page.gameEnd);
  if (page.forfeit) game.result = page.forfeit;
  return game;
}

function readSettings() {
  return {
    size: Number($('size').value),
    rule: Number($('rule').value),
    human: $('first').value === 'engine' ? WHITE : BLACK,
    turnMs: Number($('turn-time').value),
    matchMs: Number($('match-time').value),
  };
}

function enginePlayer() {
  return page.human === BLACK ? WHITE : BLACK;
}

function playerName(player) {
  return player === BLACK ? 'black' : 'white';
}

// ---- the engine's side of the game

function startEngine() {
  const s = page.settings;
  if (!page.engine || page.waiting) {
    // A search cannot be interrupted from outside: a busy engine is replaced by a fresh one.
    if (page.engine) page.engine.stop();
    page.engine = new EngineLink(engineLine, engineFailed, (ms, kind) => {
      if (kind === 'move') page.spent += ms; // a hint is not the engine's time
      render();
    });
  }
  stopWaiting();
  page.engine.send(
    `START ${s.size}\nINFO timeout_turn ${s.turnMs}\nINFO timeout_match ${s.matchMs}\n` +
      `INFO rule ${s.rule}\n`,
  );
  page.engineMoves = liveGame().setup ? -1 : 0; // set-up stones go over in a BOARD block
}

function timeLeft() {
  return Math.max(0, Math.round(page.settings.matchMs - page.spent));
}

function askEngine() {
  if (!page.engine) startEngine();
  const game = liveGame();
  const moves = game.moves;
  let text = `INFO time_left ${timeLeft()}\n`;
  if (page.engineMoves === 0 && moves.length === 0 && !game.setup) {
    text += 'BEGIN\n';
  } else if (page.engineMoves >= 0 && page.engineMoves === moves.length - 1) {
    const [r, c] = moves[moves.length - 1];
    text += `TURN ${r},${c}\n`;
  } else {
    text += 'RESTART\n' + boardBlock(game.playOrder(), enginePlayer());
  }
  send(text, 'move');
}

// Sends a request for a move and watches it. The engine keeps to its time itself (its level
// drops, then a hard stop); one that still runs far over is stopped, as a manager would.
function send(text, kind) {
  page.engine.send(text, kind);
  const limit = Math.max(3 * page.settings.turnMs, page.settings.turnMs + 20000);
  page.waiting = { kind, watchdog: setTimeout(engineOverTime, limit) };
  page.search = {};
  render();
}

// What the engine would play for the person here, at the game's settings. The engine is handed
// the position whole and answers for the side to move; its board then differs from the game,
// so the next move request hands it the game again.
function askHint() {
  const g = page.game;
  if (page.editor) return;
  if (page.waiting) {
    notice(page.waiting.kind === 'hint' ? 'A hint is on its way.' : 'The engine is thinking: ask for a hint on your move.');
    return;
  }
  if (!isLive()) {
    notice('A hint is for the game in progress: go to its last move, or play from here.');
    return;
  }
  if (g.result || page.note || g.toMove() !== page.human) return;
  if (!page.engine) startEngine();
  page.hint = null;
  page.engineMoves = -1;
  notice('');
  send(`INFO time_left ${timeLeft()}\nRESTART\n` + boardBlock(g.playOrder(), page.human), 'hint');
}

// The person moves while a hint is computed: the hint is dropped with its engine.
function dropHint() {
  if (page.waiting?.kind !== 'hint') return;
  page.engine.stop();
  page.engine = null;
  stopWaiting();
}

function stopWaiting() {
  if (page.waiting) clearTimeout(page.waiting.watchdog);
  page.waiting = null;
  page.search = null;
}

function engineLine(line) {
  const info = readLine(line);
  if (info?.move && page.waiting) {
    const [row, col] = info.move;
    const { kind } = page.waiting;
    const search = page.search;
    stopWaiting();
    if (kind === 'hint') {
      if (page.game.onBoard(row, col) && page.game.at(row, col) === EMPTY) page.hint = [row, col];
      render();
      return;
    }
    const game = liveGame();
    if (!game.play(row, col)) {
      log(`The engine answered ${line}, which is not a free point.`, 'error');
      engineGone(`the engine answered ${line}, which is not a free point`);
      return;
    }
    const following = isLive();
    const added = addMove(page.tree, page.gameEnd, enginePlayer(), [row, col]);
    page.tree = added.tree;
    page.gameEnd = added.id;
    page.engineMoves = game.moves.length;
    recordValue(search, added.id, game);
    if (following) goTo(added.id); // a person looking elsewhere stays where they are
    render();
    return;
  }
  // What a search says of itself; START's benchmark, answered before the request, is no part.
  if (info && page.search && page.engine?.pieces[0]) {
    const s = page.search;
    if ('level' in info) {
      if (s.level === undefined) s.level = info.level;
      else s.dropped = info.level;
    } else if ('value' in info) s.value = info.value;
    else if ('stopped' in info) s.stopped = info.stopped;
  }
  const message = /^MESSAGE (.*)$/.exec(line);
  if (message) log(message[1]);
  else if (/^(ERROR|UNKNOWN)/.test(line)) {
    log(line, 'error');
    if (page.waiting) {
      stopWaiting();
      engineGone(`the engine answered "${line}"`);
    }
  } else if (line !== 'OK') log(line);
}

function engineFailed(reason) {
  log(`Stopped: ${reason}`, 'error');
  page.engine = null;
  if (page.waiting || !liveGame().result) engineGone(reason);
}

function engineOverTime() {
  if (page.engine) page.engine.stop();
  page.engine = null;
  if (page.waiting?.kind === 'hint') {
    stopWaiting();
    notice('The hint took too long and was dropped.');
    render();
    return;
  }
  page.waiting = null;
  page.forfeit = { winner: page.human, line: [] };
  if (isLive()) page.game.result = page.forfeit;
  page.note = 'the engine ran over its time';
  log('The engine ran over its time and was stopped.', 'error');
  render();
}

// The game cannot go on with this engine; a new game starts a fresh one.
function engineGone(why) {
  if (page.engine) page.engine.stop();
  page.engine = null;
  stopWaiting();
  page.note = why;
  render();
}

// ---- the person's side

// The engine's view of one of its moves, for the plot. A five is a win; any other move made
// without a search (the opening at the centre, a single forced reply) keeps the value of the
// engine's move before it (node `id` has none yet).
function recordValue(search, id, game) {
  const before = engineValues(lineThrough(page.tree, id, {})).at(-1)?.value ?? 0;
  page.values[id] = {
    value: game.result?.winner === enginePlayer() ? WON : search?.value ?? before,
    level: search?.level,
    dropped: search?.dropped,
    stopped: search?.stopped,
  };
}

// The engine's values along a line: {move, value, level, ...} for each engine move in it.
function engineValues(line) {
  const points = [];
  line.forEach((node, i) => {
    if (page.values[node.id]) points.push({ move: i, ...page.values[node.id] });
  });
  return points;
}

// A game from the empty board (with the form's settings), or the one given, with the person
// on side `human` (the form's choice when not given).
function newGame(game = null, human = null) {
  const s = readSettings();
  newGameFromTree(treeFromGame(game || new Game(s.size, s.rule)), null, human);
}

// Plays on from the end of the tree's main line; `kept` brings back what a reload kept. The
// notes of the game before go with it.
function newGameFromTree(tree, kept = null, human = null) {
  closeEditor();
  stopReview();
  page.settings = readSettings();
  page.human = human ?? kept?.human ?? page.settings.human;
  page.tree = tree;
  page.currents = kept?.currents ?? {};
  const line = lineThrough(tree, tree.root.id, page.currents);
  page.gameEnd = kept?.gameEnd ?? line[line.length - 1].id;
  page.forfeit = null;
  goTo(kept?.current ?? page.gameEnd);
  page.note = '';
  page.spent = kept?.spent ?? 0;
  page.values = kept?.values ?? {};
  notice('');
  studyNote('');
  $('moves-note').textContent = '';
  $('share-link').hidden = true;
  $('log').replaceChildren();
  startEngine();
  render();
}

// A click on the board outside the editor. In the game in progress the person plays their
// side; anywhere else in the tree a move of the side to move starts a variation (or follows
// the one that holds it), and the engine stays out of it until "Play from here".
function humanMove(row, col) {
  const g = page.game;
  if (g.result || !g.onBoard(row, col) || g.at(row, col) !== EMPTY) return;
  if (isLive()) {
    dropHint();
    if (page.waiting || page.note || g.toMove() !== page.human) return;
  }
  const live = isLive();
  const added = addMove(page.tree, page.current, g.toMove(), [row, col]);
  page.tree = added.tree;
  if (live) page.gameEnd = added.id;
  goTo(added.id);
  notice('');
  render();
}

// Takes back the person's last move in the game and whatever the engine answered to it.
function undo() {
  if (page.editor || !isLive()) return;
  const path = pathTo(page.tree, page.gameEnd);
  const mine = path.findLast((node) => moveOf(node)?.player === page.human);
  if (!mine) return;
  if (page.waiting || !page.engine) startEngine();
  page.tree = deleteBranch(page.tree, mine.id);
  page.gameEnd = mine.parentId;
  page.forfeit = null;
  goTo(mine.parentId);
  page.engineMoves = -1;
  page.note = '';
  render();
}

// The game against the engine now stands at node `id`: a search under way for the old end is
// dropped with its engine, and the engine gets the new position whole.
function moveGameEnd(id) {
  if (page.waiting) {
    page.engine.stop();
    page.engine = null;
    stopWaiting();
  }
  page.gameEnd = id;
  page.forfeit = null;
  page.note = '';
  page.engineMoves = -1;
}

// The engine takes up the game from the position shown: this line becomes the game.
function playFromHere() {
  if (page.editor || isLive()) return;
  moveGameEnd(page.current);
  goTo(page.current);
  render();
}

// ---- walking through the tree

function step(n) {
  if (page.editor) return;
  goTo(navigate(page.tree, page.current, n, page.currents).id);
  render();
}

function followVariation(id) {
  goTo(id);
  render();
}

// Deletes the move shown and everything after it; the game in progress is cut back with it.
function deleteCurrent() {
  const node = page.tree.get(page.current);
  if (page.editor || node.parentId === null) return;
  const inBranch = pathTo(page.tree, page.gameEnd).some((n) => n.id === node.id);
  page.tree = deleteBranch(page.tree, node.id);
  delete page.currents[node.parentId];
  if (inBranch) moveGameEnd(node.parentId);
  goTo(node.parentId);
  render();
}

function promoteCurrent() {
  if (page.editor) return;
  page.tree = promote(page.tree, page.current);
  render();
}

// ---- the game kept across a reload

// The tree is kept as its nodes, so that the ids of `current`, `gameEnd` and the engine's
// values stay valid; an empty game is not kept.
function save() {
  try {
    const { tree, settings, human, spent, values, current, gameEnd, currents } = page;
    if (tree.root.children.length === 0 && !page.game.setup) localStorage.removeItem(SAVED);
    else {
      localStorage.setItem(SAVED, JSON.stringify({ settings, human, root: tree.root, current, gameEnd, currents, spent, values }));
    }
  } catch {
    // Storage may be full or refused; the game goes on without it.
  }
}

// The saved game: its tree, checked as a file would be (by writing it out and reading it back),
// and where the game and the board stood. Null when there is none or it does not read.
function restore() {
  let saved;
  let tree;
  try {
    saved = JSON.parse(localStorage.getItem(SAVED));
    if (!saved.root && Array.isArray(saved.moves)) saved = fromMoveList(saved);
    tree = treeOf(saved.root);
    if (readSgf(writeSgf(tree), 1).error || !tree.get(saved.current) || !tree.get(saved.gameEnd)) return null;
  } catch {
    return null;
  }
  const s = saved.settings;
  const game = gameAt(tree, tree.root.id);
  $('size').value = String(game.size);
  $('rule').value = String(game.rule);
  $('first').value = s?.human === WHITE ? 'engine' : 'human';
  for (const [id, value] of [['turn-time', s?.turnMs], ['match-time', s?.matchMs]]) {
    if ([...$(id).options].some((o) => o.value === String(value))) $(id).value = String(value);
  }
  const plain = (o) => (o && typeof o === 'object' && !Array.isArray(o) ? o : {});
  return {
    tree,
    kept: {
      current: saved.current, gameEnd: saved.gameEnd, currents: plain(saved.currents),
      human: [BLACK, WHITE].includes(saved.human) ? saved.human : s?.human === WHITE ? WHITE : BLACK,
      spent: Number(saved.spent) || 0, values: plain(saved.values),
    },
  };
}

// A game kept by the page before it kept trees: its settings and its moves in play order.
function fromMoveList(saved) {
  const s = saved.settings;
  const game = new Game(s.size, s.rule === 0 ? 0 : 1);
  for (const [r, c] of saved.moves) game.play(r, c);
  const { root } = treeFromGame(game);
  const end = game.moves.length; // treeFromGame numbers the moves' nodes 1, 2, ...
  return { settings: s, root, current: end, gameEnd: end, spent: saved.spent };
}

// What reviews found, kept apart from the games: reviewing a line again reuses it.
function loadReviews() {
  try {
    const kept = JSON.parse(localStorage.getItem(REVIEWS));
    if (kept && typeof kept === 'object' && !Array.isArray(kept)) page.reviews = kept;
  } catch {
    page.reviews = {};
  }
}

function saveReviews() {
  const keys = Object.keys(page.reviews);
  for (const key of keys.slice(0, Math.max(0, keys.length - REVIEWS_KEPT))) delete page.reviews[key];
  try {
    localStorage.setItem(REVIEWS, JSON.stringify(page.reviews));
  } catch {
    // Without storage a review is found again next time.
  }
}

// ---- drawing

// Labels follow the notation chosen: with letters, columns a, b, ... from the left and rows 1,
// 2, ... from the bottom, as opening books draw the board, so that h8 is where it says.
function buildBoard(size) {
  const board = $('board');
  const letters = $('notation').value === 'letters';
  board.style.setProperty('--n', size);
  const stars = new Set(starPoints(size).map(([r, c]) => `${r},${c}`));
  const cells = [document.createElement('span')];
  for (let c = 0; c < size; ++c) cells.push(label(letters ? String.fromCharCode(97 + c) : c));
  for (let r = 0; r < size; ++r) {
    cells.push(label(letters ? size - r : r));
    for (let c = 0; c < size; ++c) {
      const pt = document.createElement('div');
      pt.className = 'pt';
      if (r === 0) pt.classList.add('top');
      if (r === size - 1) pt.classList.add('bottom');
      if (c === 0) pt.classList.add('left');
      if (c === size - 1) pt.classList.add('right');
      if (stars.has(`${r},${c}`)) pt.classList.add('star');
      pt.dataset.row = r;
      pt.dataset.col = c;
      pt.setAttribute('role', 'gridcell');
      pt.setAttribute('aria-label', letters ? letterPoint([r, c], size) : `row ${r}, column ${c}`);
      cells.push(pt);
    }
  }
  board.replaceChildren(...cells);
  page.builtSize = size;
  page.builtNotation = $('notation').value;
  page.cursor = null;
}

function label(n) {
  const span = document.createElement('span');
  span.className = 'label';
  span.textContent = n;
  return span;
}

function render() {
  const g = page.game;
  if (page.builtSize !== g.size || page.builtNotation !== $('notation').value) buildBoard(g.size);
  const view = page.editor || g; // the editor's stones while a position is set up
  const last = page.editor ? null : g.moves[g.moves.length - 1];
  // Move numbers and the review's marks, by point, for the moves that led here.
  const moveAt = new Map();
  if (!page.editor) {
    pathTo(page.tree, page.current).slice(1).forEach((node, i) => {
      const move = moveOf(node);
      if (move) moveAt.set(`${move.at[0]},${move.at[1]}`, { number: i + 1, mark: node.data.BM?.[0] });
    });
  }
  const numbers = $('show-numbers').getAttribute('aria-pressed') === 'true';
  const winning = new Set(g.result && !page.editor ? g.result.line.map(([r, c]) => `${r},${c}`) : []);
  for (const pt of $('board').querySelectorAll('.pt')) {
    const r = Number(pt.dataset.row);
    const c = Number(pt.dataset.col);
    const player = view.at(r, c);
    let stone = pt.querySelector('.stone');
    // The hint's mark is a child of its own, so that it stands above a candidate's label.
    const hinted = page.hint && page.hint[0] === r && page.hint[1] === c;
    if (hinted && pt.dataset.hint === undefined) {
      pt.dataset.hint = '';
      const mark = document.createElement('span');
      mark.className = 'hint-mark';
      pt.append(mark);
    } else if (!hinted && pt.dataset.hint !== undefined) {
      delete pt.dataset.hint;
      pt.querySelector('.hint-mark')?.remove();
    }
    if (player === EMPTY) {
      if (stone) stone.remove();
      continue;
    }
    if (!stone) {
      stone = document.createElement('span');
      pt.prepend(stone);
    }
    stone.className = 'stone';
    stone.dataset.player = player;
    if (last && last[0] === r && last[1] === c) stone.classList.add('last');
    if (winning.has(`${r},${c}`)) stone.classList.add('win');
    const move = moveAt.get(`${r},${c}`);
    stone.textContent = numbers && move ? move.number : '';
    if (move?.mark) stone.dataset.mistake = move.mark === '2' ? 'blunder' : 'mistake';
    else delete stone.dataset.mistake;
  }
  $('board').dataset.currentMove = g.moves.length;

  const status = $('status');
  let text;
  let state;
  const you = `you (${playerName(page.human)})`;
  if (page.editor) {
    const tool = { [BLACK]: 'places black stones', [WHITE]: 'places white stones', [EMPTY]: 'empties points' };
    [text, state] = [`Setting up: a click ${tool[page.editor.tool]}; ${playerName(page.editor.toMove)} to move. Edit again to finish.`, 'editing'];
  } else if (g.result) {
    const five = page.settings.rule === 1 ? 'exactly five in a row' : 'five in a row';
    if (g.result.winner === EMPTY) [text, state] = ['Draw: the board is full.', 'draw'];
    else if (g.result.winner === page.human) {
      [text, state] = [`You win: ${page.note || five}.`, 'won'];
    } else [text, state] = [`The engine wins: ${five}.`, 'lost'];
  } else if (!isLive()) {
    const total = lineThrough(page.tree, page.current, page.currents).length - 1;
    [text, state] = [`Move ${g.moves.length} of ${total}, ${playerName(g.toMove())} to move: try a move, or play from here.`, 'studying'];
  } else if (page.note) {
    [text, state] = [`Stopped: ${page.note}. Start a new game.`, 'error'];
  } else if (page.waiting?.kind === 'hint') {
    [text, state] = ['Looking for a hint…', 'hinting'];
  } else if (g.toMove() === page.human) {
    [text, state] = [page.hint ? `Your move, ${you}: the hint is marked.` : `Your move, ${you}.`, 'your-turn'];
  } else {
    [text, state] = ['The engine is thinking…', 'thinking'];
  }
  status.textContent = text;
  status.dataset.state = state;
  $('board').className = state;
  $('undo').disabled = !isLive() || !g.moves.some((_, i) => g.playerOf(i) === page.human);
  $('hint').disabled = Boolean(g.result || page.note); // while the engine thinks, it says why not
  renderTree();
  renderValue();
  renderStudy();
  save();

  if (document.activeElement !== $('moves')) $('moves').value = moveList();
  const left = timeLeft();
  $('clock').textContent =
    `Engine clock: ${clock(left)} left of ${clock(page.settings.matchMs)}, ` +
    `${page.settings.turnMs / 1000} s a move.`;

  // The engine's turn comes after the board shows the person's stone.
  if (state === 'thinking' && !page.waiting && !page.editor && isLive()) askEngine();
}

// The plot: after a review, one point per move of the line shown (its V, from the person's
// side); before, the engine's value after each of its own moves in the game, and the result
// once the game is decided. The line under the board speaks of the position shown: the result
// of a decided game, the reviewed value of the move shown, or the engine's latest value at or
// before it on the game's line; elsewhere it says nothing.
function renderValue() {
  const g = page.game;
  const over = g.result && !page.editor ? describeResult(g.result, page.human) : null;
  const line = lineThrough(page.tree, page.current, page.currents);
  const reviewed = [];
  line.forEach((node, i) => {
    if (i === 0 || node.data.V === undefined) return;
    const forBlack = Number(node.data.V[0]);
    const mark = { 1: 'mistake', 2: 'blunder' }[node.data.BM?.[0]] ?? null;
    reviewed.push({
      id: node.id, move: i, mark, current: node.id === page.current,
      value: page.human === BLACK ? forBlack : -forBlack,
      title: `Move ${i}: ${engineWords(node.data.C?.[0]) || describeValue(page.human === BLACK ? -forBlack : forBlack)}`,
    });
  });
  if (reviewed.length) {
    const shown = reviewed.find((p) => p.current);
    $('value').textContent = over?.words ?? (shown ? describeValue(-shown.value) : '');
    $('value-detail').textContent = shown?.title ?? '';
    drawReview($('value-plot'), reviewed, (p) => followVariation(p.id));
    return;
  }
  const gameLine = lineThrough(page.tree, page.gameEnd, {});
  const points = engineValues(gameLine);
  const live = liveGame();
  if (live.result) {
    const end = describeResult(live.result, page.human);
    points.push({ move: gameLine.length - 1, value: end.value, result: end.words });
  }
  const at = gameLine.findIndex((node) => node.id === page.current);
  const shown = at < 0 ? null : points.filter((p) => p.move <= at).at(-1);
  let words = '';
  if (over) words = over.words;
  else if (shown) words = describeValue(shown.value);
  else if (isLive()) words = 'The engine\'s view of the game appears after its first move.';
  $('value').textContent = words;
  $('value-detail').textContent = shown && !shown.result ? `Move ${shown.move}: ${describeSearch(shown)}` : '';
  drawPlot($('value-plot'), points);
}

// The navigation buttons, the moves played at the position shown, and its comment.
function renderTree() {
  const node = page.tree.get(page.current);
  const atStart = node.parentId === null;
  const atEnd = node.children.length === 0;
  $('nav-first').disabled = atStart;
  $('nav-prev').disabled = atStart;
  $('nav-next').disabled = atEnd;
  $('nav-last').disabled = atEnd;
  $('play-here').disabled = isLive() || Boolean(page.game.result);
  $('delete-branch').disabled = atStart;
  $('promote').disabled = atStart || pathTo(page.tree, page.current).every((n) => {
    const parent = page.tree.get(n.parentId);
    return !parent || parent.children[0].id === n.id;
  });
  const chosen = nextOf(page.tree, page.current, page.currents);
  const size = page.game.size;
  const items = node.children.map((child, i) => {
    const move = moveOf(child);
    const button = document.createElement('button');
    button.type = 'button';
    button.dataset.variation = child.id;
    const name = move ? ($('notation').value === 'letters' ? letterPoint(move.at, size) : `${move.at[0]},${move.at[1]}`) : 'a note';
    button.textContent = `${page.game.moves.length + 1}. ${name}${i === 0 ? ' (main line)' : ''}${child.id === page.gameEnd || pathTo(page.tree, page.gameEnd).some((n) => n.id === child.id) ? ' · the game' : ''}`;
    if (child.id === chosen?.id) button.setAttribute('aria-current', 'true');
    button.addEventListener('click', () => followVariation(child.id));
    const item = document.createElement('li');
    item.append(button);
    return item;
  });
  $('variations').replaceChildren(...items);
  $('variations-note').textContent = items.length ? '' : 'No move has been played here yet.';
  $('comment').textContent = node.data.C?.[0] ?? '';
}

function notice(text) {
  $('note').textContent = text;
}

function clock(ms) {
  const s = Math.round(ms / 1000);
  return `${Math.floor(s / 60)}:${String(s % 60).padStart(2, '0')}`;
}

function log(text, kind = '') {
  const list = $('log');
  const item = document.createElement('li');
  item.textContent = text;
  if (kind) item.className = kind;
  list.append(item);
  while (list.childElementCount > LOG_LINES) list.firstElementChild.remove();
  list.scrollTop = list.scrollHeight;
}

// ---- the move list

// The move list in the notation chosen.
function moveList() {
  const g = page.game;
  return $('notation').value === 'letters' ? formatLetters(g.moves, g.size) : formatMoves(g.moves);
}

async function copyMoves() {
  const text = moveList();
  try {
    await navigator.clipboard.writeText(text);
  } catch {
    $('moves').value = text;
    $('moves').select();
    document.execCommand('copy');
  }
  $('moves-note').textContent = `Copied ${page.game.moves.length} moves.`;
}

// A pasted list in either notation: letters followed by digits are the books' kind.
function setUp() {
  const s = readSettings();
  const text = $('moves').value;
  const read = /[a-t]\s*\d/i.test(text) ? parseLetters : parseMoves;
  const parsed = read(text, s.size, s.rule);
  if (parsed.error) {
    $('moves-note').textContent = parsed.error;
    return;
  }
  newGame(parsed.game);
  $('moves-note').textContent = `Set up ${parsed.game.moves.length} moves.`;
}

function saveSgf() {
  const url = URL.createObjectURL(new Blob([writeSgf(page.tree, page.forfeit)], { type: 'application/x-go-sgf' }));
  const a = document.createElement('a');
  a.href = url;
  a.download = gameFileName(new Date());
  a.click();
  setTimeout(() => URL.revokeObjectURL(url), 1000);
  const nodes = [...page.tree.listNodes()].length - 1;
  $('moves-note').textContent = `Saved ${nodes} moves and notes, variations included, as ${a.download}.`;
}

// A game tree from a file, on its own size and rule, with its variations: the person plays on
// from the end of its main line, with the side to move there. A file that does not read
// changes nothing.
async function openSgf(file) {
  const read = file.size > 4 << 20 ? { error: 'The file is too large for a game record.' }
    : readSgf(await file.text(), Number($('rule').value));
  if (read.error) {
    $('moves-note').textContent = `${file.name}: ${read.error}`;
    return;
  }
  const line = lineThrough(read.tree, read.tree.root.id, {});
  const game = gameAt(read.tree, line[line.length - 1].id);
  takeSettingsOf(game);
  newGameFromTree(read.tree, null, game.toMove());
  $('moves-note').textContent = `Opened ${file.name}: ${game.moves.length} moves on its main line.`;
}

// ---- setting up a position

function toggleEdit() {
  if (page.editor) finishEdit();
  else startEdit();
}

// The game pauses while its position is edited: an engine that is thinking is let go, and a
// fresh one gets the position once editing ends.
function startEdit() {
  if (page.waiting) {
    page.engine.stop();
    page.engine = null;
    stopWaiting();
  }
  page.editor = new Editor(page.game);
  page.hint = null;
  $('to-move').value = playerName(page.editor.toMove);
  chooseTool(BLACK);
  $('edit').setAttribute('aria-pressed', 'true');
  $('editor').hidden = false;
  studyNote('');
  render();
}

// The position becomes the start of the game: the person plays the side to move (or the other
// side, as chosen), at the settings of the form. One that cannot start a game stays here.
function finishEdit() {
  const { game, error } = page.editor.finish();
  if (error) {
    studyNote(`This position cannot start a game: ${error}`, 'error');
    return false;
  }
  const unchanged = game === page.editor.game;
  closeEditor();
  studyNote('');
  if (unchanged) {
    render();
    return true;
  }
  const human = $('edit-you').value === 'other' ? other(game.toMove()) : game.toMove();
  takeSettingsOf(game);
  newGame(game, human);
  return true;
}

function closeEditor() {
  page.editor = null;
  $('edit').setAttribute('aria-pressed', 'false');
  $('editor').hidden = true;
}

// Sets the form to the size and rule of a game that did not come from it. Who moves first in
// the next new game stays as the person chose it.
function takeSettingsOf(game) {
  $('size').value = String(game.size);
  $('rule').value = String(game.rule);
}

function chooseTool(tool) {
  if (!page.editor) return;
  page.editor.tool = tool;
  for (const [id, t] of [['edit-black', BLACK], ['edit-white', WHITE], ['edit-erase', EMPTY]]) {
    $(id).setAttribute('aria-pressed', String(t === tool));
  }
  render();
}

// ---- the engine's analysis of the position shown

// Which position an analysis belongs to: the stones and who is to move.
function positionKey(game) {
  return `${game.size} ${game.rule} ${game.toMove()} ${game.cells.join('')}`;
}

function analyse() {
  if (page.editor && !finishEdit()) return;
  const g = page.game;
  if (g.result) {
    studyNote('The game is over: there is nothing to analyse.');
    return;
  }
  page.lineAt = null;
  page.analysedKey = positionKey(g);
  page.analysis.start(g, Number($('analysis-level').value));
  render();
  focusStop();
}

// A point in the notation chosen.
function pointName(at) {
  return $('notation').value === 'letters' ? letterPoint(at, page.game.size) : `${at[0]},${at[1]}`;
}

function renderStudy() {
  const a = page.analysis;
  if (a.state && (page.editor || page.analysedKey !== positionKey(page.game))) {
    a.clear(); // the position changed: its candidates no longer apply
    page.lineAt = null;
  }
  const state = a.state;
  const board = $('board');
  const ranked = state ? rankCandidates(state.candidates) : [];
  drawCandidates(board, ranked, state?.engine?.at);
  const progress = $('analysis-progress');
  progress.max = Math.max(1, state?.moves?.length ?? 1);
  progress.value = state ? state.candidates.length : 0;
  $('analysis-stop').disabled = !a.running() && !page.review?.running;
  $('review').disabled = Boolean(page.review?.running);
  const reviewing = $('review-progress');
  reviewing.max = page.review?.total ?? 1;
  reviewing.value = page.review?.done ?? 0;
  $('analyse').disabled = Boolean(page.game.result) && !page.editor;

  const line = page.lineAt && a.lines.get(`${page.lineAt[0]},${page.lineAt[1]}`);
  drawLine(board, line?.value ?? null, page.game.toMove());
  if (!state) return;
  const side = playerName(page.game.toMove());
  const parts = [];
  if (state.error) parts.push(`The analysis failed: ${state.error}.`);
  else if (state.moves && state.moves.length === 0) {
    parts.push(page.game.stones === 0 ? 'On an empty board the engine opens at the centre.' : `No move for ${side} to analyse here.`);
  } else {
    // The generator may list a point twice; the board shows it once, and so does the count.
    const points = new Set((state.moves ?? []).map(([r, c]) => `${r},${c}`)).size;
    const count = state.moves ? `${ranked.length} of ${points} candidates` : 'thinking';
    parts.push(`Level ${state.level}, ${side} to move: ${count}${state.done ? '.' : '…'}`);
    if (state.engine) parts.push(`The engine plays ${pointName(state.engine.at)} (${valueWords(state.engine.value)}).`);
    if (state.stopped) {
      parts.push(state.stopped === 'stopped' ? 'Stopped: the finished candidates stay.' : `Stopped at its ${state.stopped} limit.`);
    }
    if (ranked.length) {
      parts.push(page.pointer === 'touch' ? 'Tap a candidate for its line, and again to play it.'
        : 'Point at a candidate for its line; click it to play it.');
    }
  }
  if (page.lineAt) {
    const points = line?.value;
    parts.push(points ? `Line: ${points.map(pointName).join(' ')}` : `Line after ${pointName(page.lineAt)}: thinking…`);
  }
  studyNote(parts.join(' '));
}

// Keyboard users land on Stop once a search starts; the page scrolls no more than it must.
function focusStop() {
  $('analysis-stop').focus({ preventScroll: true });
  $('analysis-stop').scrollIntoView({ block: 'nearest' });
}

function studyNote(text, kind = '') {
  const note = $('analysis-note');
  note.textContent = text;
  note.className = `hint ${kind}`;
}

// Shows the engine's line after the candidate at `at` (null hides it).
function showLine(at) {
  if (at && page.lineAt && at[0] === page.lineAt[0] && at[1] === page.lineAt[1]) return;
  page.lineAt = at;
  if (at) {
    const promise = page.analysis.line(at, page.analysis.state.level);
    promise.then((points) => {
      promise.value = points;
      renderStudy();
    });
  }
  renderStudy();
}

function candidateAt(pt) {
  return pt?.dataset.candidate ? [Number(pt.dataset.row), Number(pt.dataset.col)] : null;
}

// A click on the board: edit the point, play there, or (by touch) first show a candidate's line.
function boardClick(pt) {
  const r = Number(pt.dataset.row);
  const c = Number(pt.dataset.col);
  if (page.editor) {
    page.editor.apply(r, c);
    render();
    return;
  }
  const at = candidateAt(pt);
  if (at && page.pointer === 'touch' && !(page.lineAt && page.lineAt[0] === r && page.lineAt[1] === c)) {
    showLine(at);
    return;
  }
  humanMove(r, c);
}

// ---- reviewing the line shown

// Values every position of the line through the node shown, from its start to its last move,
// with the engine's own root search at the level of the analysis, and judges each move by the
// positions before and after it. The judgements go into the tree (V, BM and C) as they come;
// answers found once are kept and reused.
async function review() {
  if (page.editor && !finishEdit()) return;
  if (page.review?.running) return;
  const level = Number($('analysis-level').value);
  const line = lineThrough(page.tree, page.current, page.currents);
  const games = line.map((node) => gameAt(page.tree, node.id));
  const run = { level, done: 0, total: games.length, running: true };
  page.review = run;
  studyNote(`Reviewing ${games.length - 1} moves at level ${level}…`);
  render();
  focusStop();
  const answers = [];
  for (let k = 0; k < games.length; ++k) {
    answers[k] = await positionAnswer(games[k], level);
    if (page.review !== run || !run.running) return; // stopped, or a new game began
    run.done = k + 1;
    if (k > 0 && page.tree.get(line[k].id)) {
      page.tree = judgeNode(page.tree, line[k].id, answers[k - 1], answers[k], pointName);
    }
    render();
  }
  run.running = false;
  saveReviews();
  studyNote(`Reviewed ${games.length - 1} moves at level ${level}.`);
  render();
}

// The engine's answer in `game` at `level`: {at, value} for the side to move, or null when it
// could not be found (a search stopped at its limit).
async function positionAnswer(game, level) {
  const key = `${level} ${positionKey(game)}`;
  if (page.reviews[key]) return page.reviews[key];
  let answer;
  if (game.result) answer = { at: null, value: game.result.winner === EMPTY ? 0 : -1024 }; // over: lost
  else if (game.stones === 0) answer = { at: [(game.size - 1) >> 1, (game.size - 1) >> 1], value: 0 }; // the centre
  else {
    const found = await page.reviewer.answer(game, level);
    if (found.engine) answer = found.engine;
    else if (found.moves && found.moves.length === 0) answer = { at: null, value: 0 };
    else return null;
  }
  page.reviews[key] = answer;
  return answer;
}

// Ends a review under way; the positions done stay judged. `said` tells the person so.
function stopReview(said = false) {
  const run = page.review;
  if (!run?.running) return;
  run.running = false;
  page.reviewer.stop(false);
  saveReviews();
  if (said) studyNote(`Review stopped: ${run.done} of ${run.total} positions done, their moves judged.`);
}

// ---- links to positions

async function share() {
  if (page.editor && !finishEdit()) return;
  const url = `${location.origin}${location.pathname}#${formatLink(page.game)}`;
  const field = $('share-link');
  field.hidden = false;
  field.value = url;
  try {
    await navigator.clipboard.writeText(url);
    studyNote('The link to this position is on the clipboard.');
  } catch {
    field.select();
    studyNote('Copy the link below.');
  }
}

// Opens the position in the address's link, if it holds one: true when it did, the words of
// the refusal (also shown) when the link does not read, and false when there is none. The game
// it replaces stays in the browser's storage and can be brought back; a refused link changes
// nothing.
function openLink() {
  const read = parseLink(location.hash);
  if (!read) return false;
  history.replaceState(null, '', location.pathname + location.search); // a reload keeps the game
  if (read.error) {
    const words = `This link is refused: ${read.error}`;
    studyNote(words, 'error');
    return words;
  }
  try {
    const kept = localStorage.getItem(SAVED);
    if (kept) localStorage.setItem(PREVIOUS, kept);
  } catch {
    // Without storage there is nothing to keep.
  }
  takeSettingsOf(read.game);
  newGame(read.game, read.game.toMove());
  $('restore-game').hidden = !localStorage.getItem(PREVIOUS);
  studyNote(`Opened the linked position: ${playerName(read.game.toMove())} to move, played by you.`);
  return true;
}

function restorePrevious() {
  const previous = localStorage.getItem(PREVIOUS);
  $('restore-game').hidden = true;
  if (!previous) return;
  localStorage.setItem(SAVED, previous);
  localStorage.removeItem(PREVIOUS);
  const kept = restore();
  if (kept) newGameFromTree(kept.tree, kept.kept);
  studyNote(kept ? 'Your earlier game is back.' : 'The earlier game could not be read.');
}

// ---- wiring

$('board').addEventListener('pointerdown', (e) => (page.pointer = e.pointerType));
$('board').addEventListener('click', (e) => {
  const pt = e.target.closest('.pt');
  if (pt) boardClick(pt);
});
$('board').addEventListener('mouseover', (e) => {
  const at = candidateAt(e.target.closest('.pt'));
  if (at && page.pointer !== 'touch') showLine(at);
});
$('board').addEventListener('mouseleave', () => page.pointer !== 'touch' && showLine(null));
// The keyboard: arrows move a cursor over the points, Enter or Space plays there.
$('board').addEventListener('keydown', (e) => {
  const steps = { ArrowUp: [-1, 0], ArrowDown: [1, 0], ArrowLeft: [0, -1], ArrowRight: [0, 1] };
  const size = page.game.size;
  const centre = (size - 1) >> 1;
  const [r, c] = page.cursor || [centre, centre];
  if (e.key in steps) {
    const [dr, dc] = steps[e.key];
    page.cursor = [Math.min(size - 1, Math.max(0, r + dr)), Math.min(size - 1, Math.max(0, c + dc))];
  } else if (e.key === 'Enter' || e.key === ' ') {
    page.cursor = [r, c];
    page.pointer = 'keyboard';
    if (!page.editor && page.game.at(r, c) !== EMPTY) notice(`${pointName([r, c])} is taken: choose a free point.`);
    else boardClick($('board').querySelector(`.pt[data-row="${r}"][data-col="${c}"]`));
  } else return;
  e.preventDefault();
  for (const pt of $('board').querySelectorAll('.cursor')) pt.classList.remove('cursor');
  const [y, x] = page.cursor;
  const pt = $('board').querySelector(`.pt[data-row="${y}"][data-col="${x}"]`);
  pt.classList.add('cursor');
  showLine(candidateAt(pt)); // a candidate under the cursor shows its line
});
// Escape leaves the editor without changing the game.
document.addEventListener('keydown', (e) => {
  if (e.key !== 'Escape' || !page.editor) return;
  closeEditor();
  studyNote('Left the editor: the game is as it was.');
  render();
});
// H asks for a hint, A analyses, E edits, from anywhere but a text field.
document.addEventListener('keydown', (e) => {
  if (e.ctrlKey || e.metaKey || e.altKey || e.target.closest('input, textarea, select')) return;
  const action = { h: askHint, a: analyse, e: toggleEdit }[e.key.toLowerCase()];
  action?.();
});
$('new-game').addEventListener('click', () => newGame());
$('hint').addEventListener('click', askHint);
$('undo').addEventListener('click', undo);
$('copy-moves').addEventListener('click', copyMoves);
$('set-up').addEventListener('click', setUp);
$('notation').addEventListener('change', () => {
  $('moves').value = moveList();
  render(); // the board's labels follow the notation
});
$('edit').addEventListener('click', toggleEdit);
$('edit-black').addEventListener('click', () => chooseTool(BLACK));
$('edit-white').addEventListener('click', () => chooseTool(WHITE));
$('edit-erase').addEventListener('click', () => chooseTool(EMPTY));
$('edit-clear').addEventListener('click', () => {
  page.editor?.clear();
  render();
});
$('to-move').addEventListener('change', () => {
  if (page.editor) page.editor.toMove = $('to-move').value === 'white' ? WHITE : BLACK;
  render();
});
$('analyse').addEventListener('click', analyse);
$('analysis-stop').addEventListener('click', () => {
  page.analysis.stop();
  stopReview(true);
  render();
});
$('share').addEventListener('click', share);
$('restore-game').addEventListener('click', restorePrevious);
window.addEventListener('hashchange', openLink);
$('save-sgf').addEventListener('click', saveSgf);
$('open-sgf').addEventListener('click', () => $('sgf-file').click());
$('sgf-file').addEventListener('change', (e) => {
  const [file] = e.target.files;
  e.target.value = ''; // the same file may be opened again
  if (file) openSgf(file);
});
$('nav-first').addEventListener('click', () => step(-Infinity));
$('nav-prev').addEventListener('click', () => step(-1));
$('nav-next').addEventListener('click', () => step(1));
$('nav-last').addEventListener('click', () => step(Infinity));
$('show-numbers').addEventListener('click', () => {
  const on = $('show-numbers').getAttribute('aria-pressed') !== 'true';
  $('show-numbers').setAttribute('aria-pressed', String(on));
  render();
});
$('play-here').addEventListener('click', playFromHere);
$('promote').addEventListener('click', promoteCurrent);
$('delete-branch').addEventListener('click', deleteCurrent);
$('review').addEventListener('click', review);
// Walking through the game: keys the board's cursor does not use.
document.addEventListener('keydown', (e) => {
  if (e.ctrlKey || e.metaKey || e.altKey || e.target.closest('input, textarea, select')) return;
  const steps = { Home: -Infinity, PageUp: -1, PageDown: 1, End: Infinity };
  if (!(e.key in steps)) return;
  e.preventDefault();
  step(steps[e.key]);
});

page.analysis = new Analysis(() => renderStudy());
page.reviewer = new Analysis(() => {});
loadReviews();
const linked = openLink();
const kept = linked === true ? null : restore();
if (!page.tree) {
  if (kept) newGameFromTree(kept.tree, kept.kept);
  else newGame();
}
if (typeof linked === 'string') studyNote(linked, 'error'); // the game above cleared the notes
registerOffline();
