// The board page: a person plays the engine, which runs in a worker and is driven through its
// protocol the way a tournament manager drives it: START and INFO before every game, time_left
// before every move, TURN for the person's move, and RESTART with a BOARD block whenever the
// engine's board no longer matches the game (after an undo, a pasted list, a hint or a reload).
// Beside it the page studies positions: an editor, the engine's analysis in a worker of its
// own, and links to positions. This module wires the game, its records, the engine link, the
// value plot and the study parts to the page.
import { BLACK, WHITE, EMPTY, Game, boardBlock, other, setUpGame, starPoints } from './game.js';
import {
  formatLetters, formatMoves, gameFileName, letterPoint, parseLetters, parseMoves, parseSgf, toSgf,
} from './records.js';
import { EngineLink, readLine } from './engine-link.js';
import { describeSearch, describeValue, drawPlot } from './value-plot.js';
import { registerOffline } from './offline.js';
import { Editor } from './editor.js';
import { Analysis, rankCandidates } from './analysis.js';
import { drawCandidates, drawLine, valueWords } from './study.js';
import { formatLink, parseLink } from './link.js';

const $ = (id) => document.getElementById(id);
const LOG_LINES = 200;
const SAVED = 'ormel.game'; // the game in progress, in the browser's storage
const PREVIOUS = 'ormel.previous'; // the game a link replaced, until it is brought back

const page = {
  settings: null, // the form's values when the game began
  game: null,
  human: BLACK,
  engine: null, // EngineLink, or null until one is needed
  spent: 0, // ms the engine has searched in this game, for its clock
  engineMoves: -1, // how many of the game's moves the engine's board holds; -1 when it differs
  waiting: null, // {kind: 'move' | 'hint', watchdog} while the engine is asked
  search: null, // what the search under way has said of itself
  values: [], // one point per engine move: {move, value, level, dropped, stopped}
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
};

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
  page.engineMoves = page.game?.setup ? -1 : 0; // set-up stones go over in a BOARD block
}

function timeLeft() {
  return Math.max(0, Math.round(page.settings.matchMs - page.spent));
}

function askEngine() {
  if (!page.engine) startEngine();
  const moves = page.game.moves;
  let text = `INFO time_left ${timeLeft()}\n`;
  if (page.engineMoves === 0 && moves.length === 0 && !page.game.setup) {
    text += 'BEGIN\n';
  } else if (page.engineMoves >= 0 && page.engineMoves === moves.length - 1) {
    const [r, c] = moves[moves.length - 1];
    text += `TURN ${r},${c}\n`;
  } else {
    text += 'RESTART\n' + boardBlock(page.game.playOrder(), enginePlayer());
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
    if (!page.game.play(row, col)) {
      log(`The engine answered ${line}, which is not a free point.`, 'error');
      engineGone(`the engine answered ${line}, which is not a free point`);
      return;
    }
    page.engineMoves = page.game.moves.length;
    recordValue(search);
    render();
    return;
  }
  if (info && page.search) {
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
  if (page.waiting || !page.game.result) engineGone(reason);
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
  page.game.result = { winner: page.human, line: [] };
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

// One point of the plot per engine move. A move made without a search (the opening at the
// centre, a single forced reply) keeps the value before it.
function recordValue(search) {
  const before = page.values.length ? page.values[page.values.length - 1].value : 0;
  page.values.push({
    move: page.game.moves.length,
    value: search?.value ?? before,
    level: search?.level,
    dropped: search?.dropped,
    stopped: search?.stopped,
  });
}

function newGame(game = null, kept = null) {
  closeEditor();
  page.settings = readSettings();
  page.human = page.settings.human;
  page.game = game || new Game(page.settings.size, page.settings.rule);
  page.note = '';
  page.spent = kept?.spent ?? 0;
  page.values = kept?.values ?? [];
  page.hint = null;
  notice('');
  $('log').replaceChildren();
  startEngine();
  render();
}

function humanMove(row, col) {
  const g = page.game;
  dropHint();
  if (page.waiting || page.note || g.toMove() !== page.human) return;
  if (!g.play(row, col)) return;
  page.hint = null;
  render();
}

// Takes back the person's last move and whatever the engine answered to it.
function undo() {
  const g = page.game;
  if (page.editor) return;
  let last = g.moves.length - 1;
  while (last >= 0 && g.playerOf(last) !== page.human) --last;
  if (last < 0) return;
  if (page.waiting || !page.engine) startEngine();
  page.game = g.replay(last);
  page.engineMoves = -1;
  page.note = '';
  page.hint = null;
  page.values = page.values.filter((p) => p.move <= last);
  render();
}

// ---- the game kept across a reload

function save() {
  try {
    const { moves, setup } = page.game;
    if (moves.length === 0 && !setup) localStorage.removeItem(SAVED);
    else {
      const { settings, spent, values } = page;
      localStorage.setItem(SAVED, JSON.stringify({ settings, setup, moves, spent, values }));
    }
  } catch {
    // Storage may be full or refused; the game goes on without it.
  }
}

// The saved game, replayed move by move; null when there is none or it does not replay.
function restore() {
  let saved;
  try {
    saved = JSON.parse(localStorage.getItem(SAVED));
  } catch {
    return null;
  }
  const s = saved?.settings;
  if (!s || !Array.isArray(saved.moves) || ![15, 16, 17, 18, 19, 20].includes(s.size)) return null;
  const rule = s.rule === 0 ? 0 : 1;
  let game = new Game(s.size, rule);
  const setup = saved.setup;
  if (setup) {
    if (!Array.isArray(setup.black) || !Array.isArray(setup.white)) return null;
    game = setUpGame(s.size, rule, setup.black, setup.white, setup.toMove === WHITE ? WHITE : BLACK).game;
    if (!game) return null;
  }
  if (!saved.moves.every((m) => Array.isArray(m) && game.play(m[0], m[1]))) return null;
  $('size').value = String(s.size);
  $('rule').value = String(game.rule);
  $('first').value = s.human === WHITE ? 'engine' : 'human';
  for (const [id, value] of [['turn-time', s.turnMs], ['match-time', s.matchMs]]) {
    if ([...$(id).options].some((o) => o.value === String(value))) $(id).value = String(value);
  }
  const values = Array.isArray(saved.values) ? saved.values.filter((p) => p.move <= game.moves.length) : [];
  return { game, spent: Number(saved.spent) || 0, values };
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
  const winning = new Set(g.result && !page.editor ? g.result.line.map(([r, c]) => `${r},${c}`) : []);
  for (const pt of $('board').querySelectorAll('.pt')) {
    const r = Number(pt.dataset.row);
    const c = Number(pt.dataset.col);
    const player = view.at(r, c);
    let stone = pt.querySelector('.stone');
    if (page.hint && page.hint[0] === r && page.hint[1] === c) pt.dataset.hint = '';
    else delete pt.dataset.hint;
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
  }

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
  $('undo').disabled = !g.moves.some((_, i) => g.playerOf(i) === page.human);
  $('hint').disabled = Boolean(g.result || page.note); // while the engine thinks, it says why not
  renderValue();
  renderStudy();
  save();

  if (document.activeElement !== $('moves')) $('moves').value = moveList();
  const left = timeLeft();
  $('clock').textContent =
    `Engine clock: ${clock(left)} left of ${clock(page.settings.matchMs)}, ` +
    `${page.settings.turnMs / 1000} s a move.`;

  // The engine's turn comes after the board shows the person's stone.
  if (state === 'thinking' && !page.waiting && !page.editor) askEngine();
}

function renderValue() {
  const last = page.values[page.values.length - 1];
  $('value').textContent = last ? describeValue(last.value) : 'The engine\'s view of the game appears after its first move.';
  $('value-detail').textContent = last ? `Move ${last.move}: ${describeSearch(last)}` : '';
  drawPlot($('value-plot'), page.values);
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
  $('moves-note').textContent = `Set up ${parsed.game.moves.length} moves.`;
  newGame(parsed.game);
}

function saveSgf() {
  const url = URL.createObjectURL(new Blob([toSgf(page.game)], { type: 'application/x-go-sgf' }));
  const a = document.createElement('a');
  a.href = url;
  a.download = gameFileName(new Date());
  a.click();
  setTimeout(() => URL.revokeObjectURL(url), 1000);
  $('moves-note').textContent = `Saved ${page.game.moves.length} moves as ${a.download}.`;
}

// A game from a file, on its own size and rule, with the person to move: the person plays on
// from its last move. A file that does not read changes nothing.
async function openSgf(file) {
  const parsed = parseSgf(await file.text(), Number($('rule').value));
  if (parsed.error) {
    $('moves-note').textContent = `${file.name}: ${parsed.error}`;
    return;
  }
  const { game } = parsed;
  $('size').value = String(game.size);
  $('rule').value = String(game.rule);
  $('first').value = game.toMove() === BLACK ? 'human' : 'engine';
  $('moves-note').textContent = `Opened ${file.name}: ${game.moves.length} moves.`;
  newGame(game);
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
  takeSettingsOf(game, human);
  newGame(game);
  return true;
}

function closeEditor() {
  page.editor = null;
  $('edit').setAttribute('aria-pressed', 'false');
  $('editor').hidden = true;
}

// Sets the form to a game that did not come from it: its size and rule, the person's colour.
function takeSettingsOf(game, human) {
  $('size').value = String(game.size);
  $('rule').value = String(game.rule);
  $('first').value = human === BLACK ? 'human' : 'engine';
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
  $('analysis-stop').disabled = !a.running();
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
    const count = state.moves ? `${state.candidates.length} of ${state.moves.length} candidates` : 'thinking';
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

// Opens the position in the address's link, if it holds one. The game it replaces stays in
// the browser's storage and can be brought back. A link that does not read changes nothing.
function openLink() {
  const read = parseLink(location.hash);
  if (!read) return false;
  history.replaceState(null, '', location.pathname + location.search); // a reload keeps the game
  if (read.error) {
    studyNote(`This link is refused: ${read.error}`, 'error');
    return false;
  }
  try {
    const kept = localStorage.getItem(SAVED);
    if (kept) localStorage.setItem(PREVIOUS, kept);
  } catch {
    // Without storage there is nothing to keep.
  }
  takeSettingsOf(read.game, read.game.toMove());
  newGame(read.game);
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
  if (kept) newGame(kept.game, kept);
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
    boardClick($('board').querySelector(`.pt[data-row="${r}"][data-col="${c}"]`));
  } else return;
  e.preventDefault();
  for (const pt of $('board').querySelectorAll('.cursor')) pt.classList.remove('cursor');
  const [y, x] = page.cursor;
  const pt = $('board').querySelector(`.pt[data-row="${y}"][data-col="${x}"]`);
  pt.classList.add('cursor');
  showLine(candidateAt(pt)); // a candidate under the cursor shows its line
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
$('analysis-stop').addEventListener('click', () => page.analysis.stop());
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
page.analysis = new Analysis(() => renderStudy());
if (!openLink()) {
  const kept = restore();
  newGame(kept?.game, kept);
}
registerOffline();
