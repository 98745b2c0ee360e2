// The board page: a person plays the engine, which runs in a worker and is driven through its
// protocol the way a tournament manager drives it: START and INFO before every game, time_left
// before every move, TURN for the person's move, and RESTART with a BOARD block whenever the
// engine's board no longer matches the game (after an undo, a pasted list, a hint or a reload).
// This module wires the game, its records, the engine link and the value plot to the page.
import { BLACK, WHITE, EMPTY, Game, boardBlock, starPoints } from './game.js';
import { formatLetters, formatMoves, gameFileName, parseLetters, parseMoves, parseSgf, toSgf } from './records.js';
import { EngineLink, readLine } from './engine-link.js';
import { describeSearch, describeValue, drawPlot } from './value-plot.js';
import { registerOffline } from './offline.js';

const $ = (id) => document.getElementById(id);
const LOG_LINES = 200;
const SAVED = 'ormel.game'; // the game in progress, in the browser's storage

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
  page.engineMoves = 0;
}

function timeLeft() {
  return Math.max(0, Math.round(page.settings.matchMs - page.spent));
}

function askEngine() {
  if (!page.engine) startEngine();
  const moves = page.game.moves;
  let text = `INFO time_left ${timeLeft()}\n`;
  if (page.engineMoves === 0 && moves.length === 0) {
    text += 'BEGIN\n';
  } else if (page.engineMoves === moves.length - 1) {
    const [r, c] = moves[moves.length - 1];
    text += `TURN ${r},${c}\n`;
  } else {
    text += 'RESTART\n' + boardBlock(moves, enginePlayer());
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
  if (page.waiting) {
    notice(page.waiting.kind === 'hint' ? 'A hint is on its way.' : 'The engine is thinking: ask for a hint on your move.');
    return;
  }
  if (g.result || page.note || g.toMove() !== page.human) return;
  if (!page.engine) startEngine();
  page.hint = null;
  page.engineMoves = -1;
  notice('');
  send(`INFO time_left ${timeLeft()}\nRESTART\n` + boardBlock(g.moves, page.human), 'hint');
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
  let last = g.moves.length - 1;
  while (last >= 0 && (last % 2 === 0 ? BLACK : WHITE) !== page.human) --last;
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
    if (page.game.moves.length === 0) localStorage.removeItem(SAVED);
    else {
      const { settings, spent, values } = page;
      localStorage.setItem(SAVED, JSON.stringify({ settings, moves: page.game.moves, spent, values }));
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
  const game = new Game(s.size, s.rule === 0 ? 0 : 1);
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

function buildBoard(size) {
  const board = $('board');
  board.style.setProperty('--n', size);
  const stars = new Set(starPoints(size).map(([r, c]) => `${r},${c}`));
  const cells = [document.createElement('span')];
  for (let c = 0; c < size; ++c) cells.push(label(c));
  for (let r = 0; r < size; ++r) {
    cells.push(label(r));
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
      pt.setAttribute('aria-label', `row ${r}, column ${c}`);
      cells.push(pt);
    }
  }
  board.replaceChildren(...cells);
  page.builtSize = size;
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
  if (page.builtSize !== g.size) buildBoard(g.size);
  const last = g.moves[g.moves.length - 1];
  const winning = new Set(g.result ? g.result.line.map(([r, c]) => `${r},${c}`) : []);
  for (const pt of $('board').querySelectorAll('.pt')) {
    const r = Number(pt.dataset.row);
    const c = Number(pt.dataset.col);
    const player = g.at(r, c);
    let stone = pt.firstElementChild;
    if (page.hint && page.hint[0] === r && page.hint[1] === c) pt.dataset.hint = '';
    else delete pt.dataset.hint;
    if (player === EMPTY) {
      if (stone) stone.remove();
      continue;
    }
    if (!stone) {
      stone = document.createElement('span');
      pt.append(stone);
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
  if (g.result) {
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
  $('undo').disabled = !g.moves.some((_, i) => (i % 2 === 0 ? BLACK : WHITE) === page.human);
  $('hint').disabled = Boolean(g.result || page.note); // while the engine thinks, it says why not
  renderValue();
  save();

  if (document.activeElement !== $('moves')) $('moves').value = moveList();
  const left = timeLeft();
  $('clock').textContent =
    `Engine clock: ${clock(left)} left of ${clock(page.settings.matchMs)}, ` +
    `${page.settings.turnMs / 1000} s a move.`;

  // The engine's turn comes after the board shows the person's stone.
  if (state === 'thinking' && !page.waiting) askEngine();
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

// ---- wiring

$('board').addEventListener('click', (e) => {
  const pt = e.target.closest('.pt');
  if (pt) humanMove(Number(pt.dataset.row), Number(pt.dataset.col));
});
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
    humanMove(r, c);
  } else return;
  e.preventDefault();
  for (const pt of $('board').querySelectorAll('.cursor')) pt.classList.remove('cursor');
  const [y, x] = page.cursor;
  $('board').querySelector(`.pt[data-row="${y}"][data-col="${x}"]`).classList.add('cursor');
});
// H asks for a hint from anywhere but a text field.
document.addEventListener('keydown', (e) => {
  if ((e.key === 'h' || e.key === 'H') && !e.target.closest('input, textarea, select')) askHint();
});
$('new-game').addEventListener('click', () => newGame());
$('hint').addEventListener('click', askHint);
$('undo').addEventListener('click', undo);
$('copy-moves').addEventListener('click', copyMoves);
$('set-up').addEventListener('click', setUp);
$('notation').addEventListener('change', () => ($('moves').value = moveList()));
$('save-sgf').addEventListener('click', saveSgf);
$('open-sgf').addEventListener('click', () => $('sgf-file').click());
$('sgf-file').addEventListener('change', (e) => {
  const [file] = e.target.files;
  e.target.value = ''; // the same file may be opened again
  if (file) openSgf(file);
});
const kept = restore();
newGame(kept?.game, kept);
registerOffline();
