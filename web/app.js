// The board page's entry: a person plays the engine and studies positions and games. Each part
// of the page is a module that owns its state: the game tree and walking through it
// (navigation.js), the game against the engine (play.js), the board (board-view.js), the
// editor (editing.js), the analysis and links (study-panel.js), reviews and the engine's view
// (review-panel.js), the move list and files (records-panel.js), and what the browser keeps
// (storage.js). This module starts games, draws the status line, and wires the page's controls
// and keys to the parts.

import { BLACK, EMPTY, WHITE, Game } from './game.js';
import { readSgf, writeSgf } from './sgf.js';
import { gameAt, moveOf, setProperties, treeFromGame, treeOf } from './tree.js';
import { registerOffline } from './offline.js';
import { Navigation } from './navigation.js';
import { Play } from './play.js';
import { BoardView } from './board-view.js';
import { Editing } from './editing.js';
import { StudyPanel, focusStop } from './study-panel.js';
import { ReviewPanel } from './review-panel.js';
import { RecordsPanel } from './records-panel.js';
import { GameStore } from './storage.js';
import { AnalysisPool } from './analysis-pool.js';
import { recordHeading } from './players.js';
import { $, lettersChosen, notice, playerName, pointName, studyNote } from './notes.js';

const nav = new Navigation();
const store = new GameStore();
const pool = new AnalysisPool(chooseThreads());
const board = new BoardView($('board'));
const play = new Play(nav, render);
const editing = new Editing(nav, play, render, (game, human) => {
  takeSettingsOf(game);
  newGame(game, human);
});
const study = new StudyPanel(nav, board, store, pool, {
  render,
  editing: () => Boolean(editing.editor),
  reviewing: () => review.running(),
  finishEditing: () => editing.finish(),
  openGame: (game, human) => {
    takeSettingsOf(game);
    newGame(game, human);
  },
  restoreGame: (saved) => restoreGame(saved),
});
const review = new ReviewPanel(nav, play, store, pool, render);
const records = new RecordsPanel(nav, {
  settings: readSettings,
  openGame: (game, human) => newGame(game, human),
  openTree: (tree, game) => {
    takeSettingsOf(game);
    newGameFromTree(tree, null, game.toMove());
  },
  // A .psq names the players: a record's own, else the person and the engine by side.
  names: () => {
    const { record } = nav;
    if (record) return [record.black, record.white];
    return [BLACK, WHITE].map((side) => (side === play.human ? 'person' : 'ormel'));
  },
  timeOf: (node) => play.values[node.id]?.ms,
});
let unsaved = ''; // the words of a save that failed, until one succeeds
nav.onGoTo = () => (play.hint = null); // a hint is for the position it was asked at

function readSettings() {
  return {
    size: Number($('size').value),
    rule: Number($('rule').value),
    human: $('first').value === 'engine' ? WHITE : BLACK,
    turnMs: Number($('turn-time').value),
    matchMs: Number($('match-time').value),
  };
}

// The analysis workers' select: 1 up to the machine's cores (8 at most), the cores unless the
// person chose otherwise on this browser.
function chooseThreads() {
  const cores = Math.min(8, Math.max(1, navigator.hardwareConcurrency || 1));
  const select = $('analysis-threads');
  select.replaceChildren(...Array.from({ length: cores }, (_, i) => new Option(String(i + 1), String(i + 1))));
  select.value = String(Math.min(cores, store.loadThreads() ?? cores));
  return Number(select.value);
}

// Sets the form to the size and rule of a game that did not come from it. Who moves first in
// the next new game stays as the person chose it.
function takeSettingsOf(game) {
  $('size').value = String(game.size);
  $('rule').value = String(game.rule);
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
  editing.close();
  review.stop();
  nav.reset(tree, kept);
  notice('');
  studyNote('');
  $('moves-note').textContent = '';
  $('share-link').hidden = true;
  $('log').replaceChildren();
  const settings = readSettings();
  play.begin(settings, human ?? kept?.human ?? settings.human, kept);
  render();
}

// ---- the game kept across a reload

// The tree is kept as its nodes, so that the ids of the nodes and the engine's values stay
// valid; an empty game is not kept.
function snapshot() {
  const { tree, current, gameEnd, currents } = nav;
  if (tree.root.children.length === 0 && !nav.game.setup) return null;
  const { settings, human, spent, values } = play;
  return { settings, human, root: tree.root, current, gameEnd, currents, spent, values };
}

function save() {
  const failed = store.save(snapshot());
  if (failed) notice(failed);
  else if (unsaved) notice('');
  unsaved = failed;
}

// Takes up a kept game: its tree, checked as a file would be (by writing it out and reading it
// back), and where the game and the board stood. False when it does not read.
function restoreGame(saved) {
  let tree;
  try {
    if (!saved.root && Array.isArray(saved.moves)) saved = fromMoveList(saved);
    tree = treeOf(saved.root);
    if (readSgf(writeSgf(tree), 1).error || !tree.get(saved.current) || !tree.get(saved.gameEnd)) return false;
  } catch {
    return false;
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
  newGameFromTree(tree, {
    current: saved.current, gameEnd: saved.gameEnd, currents: plain(saved.currents),
    human: [BLACK, WHITE].includes(saved.human) ? saved.human : s?.human === WHITE ? WHITE : BLACK,
    spent: Number(saved.spent) || 0, values: plain(saved.values),
  });
  return true;
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

// ---- drawing

function render() {
  const g = nav.game;
  const editor = editing.editor;
  // Move numbers and the review's marks, by point, for the moves that led here.
  const moves = new Map();
  if (!editor) {
    nav.pathShown().slice(1).forEach((node, i) => {
      const move = moveOf(node);
      if (move) moves.set(`${move.at[0]},${move.at[1]}`, { number: i + 1, mark: node.data.BM?.[0] });
    });
  }
  board.draw({
    view: editor || g, // the editor's stones while a position is set up
    letters: lettersChosen(),
    last: editor ? null : g.moves[g.moves.length - 1],
    moves,
    numbers: $('show-numbers').getAttribute('aria-pressed') === 'true',
    winning: new Set(g.result && !editor ? g.result.line.map(([r, c]) => `${r},${c}`) : []),
    hint: play.hint,
  });
  $('board').dataset.currentMove = g.moves.length;

  const [text, state] = status();
  $('status').textContent = text;
  $('status').dataset.state = state;
  $('board').className = state;
  $('undo').disabled = !play.canUndo();
  $('hint').disabled = Boolean(g.result || play.note || nav.record); // while the engine thinks, it says why not
  nav.render(follow);
  review.renderValue(Boolean(editor), follow);
  review.renderProgress();
  study.render();
  save();
  records.render();
  $('clock').textContent = play.clockText();
  if (!editor) play.moveIfDue(state);
}

// The status line and its state (also the board's class): [text, state].
function status() {
  const g = nav.game;
  if (editing.editor) return [editing.status(), 'editing'];
  if (nav.record) return recordStatus();
  if (g.result) {
    const five = play.settings.rule === 1 ? 'exactly five in a row' : 'five in a row';
    if (g.result.winner === EMPTY) return ['Draw: the board is full.', 'draw'];
    if (g.result.winner === play.human) return [`You win: ${play.note || five}.`, 'won'];
    return [`The engine wins: ${five}.`, 'lost'];
  }
  if (!nav.isLive()) {
    const total = nav.lineShown().length - 1;
    return [`Move ${g.moves.length} of ${total}, ${playerName(g.toMove())} to move: try a move, or play from here.`, 'studying'];
  }
  if (play.note) return [`Stopped: ${play.note}. Start a new game.`, 'error'];
  if (play.waiting?.kind === 'hint') return ['Looking for a hint…', 'hinting'];
  if (g.toMove() === play.human) {
    const you = `you (${playerName(play.human)})`;
    return [play.hint ? `Your move, ${you}: the hint is marked.` : `Your move, ${you}.`, 'your-turn'];
  }
  return ['The engine is thinking…', 'thinking'];
}

// The players and result of a record, and where the board stands in it.
function recordStatus() {
  const g = nav.game;
  const end = nav.liveGame();
  const heading = recordHeading(nav.record, end.result, end.moves.length);
  if (nav.current === nav.gameEnd) return [`${heading}.`, 'record'];
  if (g.result) {
    const how = g.result.winner === EMPTY ? 'the board is full' : `${playerName(g.result.winner)} makes five`;
    return [`${heading}. In this line ${how} at move ${g.moves.length}.`, 'record'];
  }
  const total = nav.lineShown().length - 1;
  const where = nav.inGame(nav.current) ? 'the record' : 'a variation';
  return [`${heading}. Move ${g.moves.length} of ${total} in ${where}, ${playerName(g.toMove())} to move: try a move, ` +
    'or play from here.', 'studying'];
}

// ---- walking through the tree

function follow(id) {
  nav.goTo(id);
  render();
}

function step(n) {
  if (editing.editor) return;
  nav.step(n);
  render();
}

// Deletes the move shown and everything after it; the game in progress is cut back with it.
function deleteShown() {
  const node = nav.tree.get(nav.current);
  if (editing.editor || node.parentId === null) return;
  const inGame = nav.inGame(node.id);
  nav.cut(node.id);
  if (inGame) play.moveGameEnd(node.parentId);
  nav.goTo(node.parentId);
  render();
}

// The engine takes up the game from the position shown: this line becomes the game. In a
// record the person takes the side to move, and the record's players and result go: the game
// is now the person's.
function playFromHere() {
  if (editing.editor || nav.isLive()) return;
  if (nav.record) {
    play.human = nav.game.toMove();
    nav.update((tree) => setProperties(tree, tree.root.id, { PB: [], PW: [], RE: [] }));
  }
  play.moveGameEnd(nav.current);
  nav.goTo(nav.current);
  render();
}

// ---- the board's clicks and keys

// A click on the board: edit the point, play there, or (by touch) first show a candidate's line.
function boardClick(pt) {
  const r = Number(pt.dataset.row);
  const c = Number(pt.dataset.col);
  if (editing.editor) {
    editing.editor.apply(r, c);
    render();
    return;
  }
  const at = study.candidateAt(pt);
  if (study.showsLineFirst(at)) study.showLine(at);
  else play.personMove(r, c);
}

function wireBoard() {
  const el = $('board');
  el.addEventListener('pointerdown', (e) => (study.pointer = e.pointerType));
  el.addEventListener('click', (e) => {
    const pt = e.target.closest('.pt');
    if (pt) boardClick(pt);
  });
  el.addEventListener('mouseover', (e) => {
    const at = study.candidateAt(e.target.closest('.pt'));
    if (at && study.pointer !== 'touch') study.showLine(at);
  });
  el.addEventListener('mouseleave', () => study.pointer !== 'touch' && study.showLine(null));
  // The keyboard: arrows move a cursor over the points, Enter or Space plays there.
  el.addEventListener('keydown', (e) => {
    const size = nav.game.size;
    const enter = e.key === 'Enter' || e.key === ' ';
    const pt = board.moveCursor(enter ? null : e.key, size);
    if (!pt) return;
    e.preventDefault();
    if (enter) {
      const [r, c] = board.cursor;
      study.pointer = 'keyboard';
      if (!editing.editor && nav.game.at(r, c) !== EMPTY) notice(`${pointName([r, c], size)} is taken: choose a free point.`);
      else boardClick(pt);
    }
    study.showLine(study.candidateAt(board.point(board.cursor))); // a candidate under the cursor shows its line
  });
}

// ---- wiring

function wire() {
  wireBoard();
  editing.wire();
  records.wire();
  const typing = (e) => e.ctrlKey || e.metaKey || e.altKey || e.target.closest('input, textarea, select');
  document.addEventListener('keydown', (e) => {
    if (e.key === 'Escape') editing.leave();
    if (typing(e)) return;
    // H asks for a hint, A analyses, E edits; Home, Page Up, Page Down and End walk the game
    // (the arrow keys are the board's cursor).
    const action = { h: askHint, a: analyse, e: () => editing.toggle() }[e.key.toLowerCase()];
    const steps = { Home: -Infinity, PageUp: -1, PageDown: 1, End: Infinity };
    if (action) action();
    else if (e.key in steps) {
      e.preventDefault();
      step(steps[e.key]);
    }
  });
  $('new-game').addEventListener('click', () => newGame());
  $('hint').addEventListener('click', askHint);
  $('undo').addEventListener('click', () => {
    if (!editing.editor) play.undo();
  });
  $('notation').addEventListener('change', render); // the board's labels and the list follow it
  $('analyse').addEventListener('click', analyse);
  $('review').addEventListener('click', () => {
    if (!editing.finish()) return;
    review.start(Number($('analysis-level').value));
    focusStop();
  });
  $('analysis-stop').addEventListener('click', () => {
    study.stop();
    review.stop(true);
    render();
  });
  $('share').addEventListener('click', () => study.share());
  $('analysis-threads').addEventListener('change', () => {
    const n = Number($('analysis-threads').value);
    pool.resize(n);
    store.saveThreads(n);
  });
  $('restore-game').addEventListener('click', () => study.restorePrevious());
  window.addEventListener('hashchange', () => study.openLink());
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
  $('promote').addEventListener('click', () => {
    if (editing.editor) return;
    nav.promoteShown();
    render();
  });
  $('delete-branch').addEventListener('click', deleteShown);
  $('take-game').addEventListener('click', takeOther);
}

function askHint() {
  if (!editing.editor) play.askHint();
}

function analyse() {
  study.analyse(Number($('analysis-level').value));
}

// The most recent game, which another tab holds, copied into this tab. A game begun here in
// the meantime is kept, as a link keeps the game it replaces.
let otherGame = null;
async function takeOther() {
  $('take-game').hidden = true;
  if (!otherGame) return;
  if (store.read()) await store.setAside();
  if (restoreGame(otherGame)) notice('The game from the other tab goes on here too, as a copy of its own.');
  $('restore-game').hidden = !store.hasPrevious();
  otherGame = null;
}

async function start() {
  wire();
  const { saved, elsewhere } = await store.open();
  const linked = await study.openLink();
  if (linked !== true && !(saved && restoreGame(saved))) newGame();
  if (typeof linked === 'string') studyNote(linked, 'error'); // the game above cleared the notes
  if (elsewhere && !saved && linked !== true) {
    otherGame = elsewhere;
    $('take-game').hidden = false;
    notice('Your most recent game is open in another tab. It stays there; you can also go on with a copy of it here.');
  }
  registerOffline();
}

start();
