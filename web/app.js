// The board page: a person plays the engine, which runs in a worker and is driven through its
// protocol the way a tournament manager drives it: START and INFO before every game, time_left
// before every move, TURN for the person's move, and RESTART with a BOARD block whenever the
// engine's board no longer matches the game (after an undo or a pasted list).
import { BLACK, WHITE, EMPTY, Game, boardBlock, formatMoves, parseMoves, starPoints } from './game.js';
import { registerOffline } from './offline.js';

const $ = (id) => document.getElementById(id);
const MOVE_LINE = /^(\d+),(\d+)$/;
const LOG_LINES = 200;

// The worker and what it has been asked.
class EngineLink {
  constructor(onLine, onFatal, onSearched) {
    this.onLine = onLine;
    this.onFatal = onFatal;
    this.onSearched = onSearched;
    this.pieces = []; // for each piece sent and not yet answered: whether it asks for a move
    this.worker = new Worker('engine-worker.js');
    this.worker.onmessage = (e) => this.receive(e.data);
    this.worker.onerror = (e) => {
      e.preventDefault();
      this.receive({ fatal: e.message || 'the worker failed' });
    };
  }

  send(text, asksMove = false) {
    this.pieces.push(asksMove);
    this.worker.postMessage(text);
  }

  receive(msg) {
    if (this.stopped) return;
    if ('line' in msg) this.onLine(msg.line);
    else if ('err' in msg) this.onLine(msg.err);
    else if ('done' in msg) {
      if (this.pieces.shift()) this.onSearched(msg.done);
    } else if ('fatal' in msg) {
      this.stop();
      this.onFatal(msg.fatal);
    }
  }

  stop() {
    this.stopped = true;
    this.worker.terminate();
  }
}

const page = {
  settings: null, // the form's values when the game began
  game: null,
  human: BLACK,
  engine: null, // EngineLink, or null until one is needed
  spent: 0, // ms the engine has searched in this game, for its clock
  engineMoves: -1, // how many of the game's moves the engine's board holds; -1 when it differs
  waiting: null, // {watchdog} while a move is asked for
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
    // A search cannot be interrupted: a busy engine is replaced by a fresh one.
    if (page.engine) page.engine.stop();
    page.engine = new EngineLink(engineLine, engineFailed, (ms) => {
      page.spent += ms;
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
  page.engine.send(text, true);
  // The engine keeps to its time itself (its level drops, then a hard stop); one that still
  // runs far over is stopped and loses, as a manager would score it.
  const limit = Math.max(3 * page.settings.turnMs, page.settings.turnMs + 20000);
  page.waiting = { watchdog: setTimeout(engineOverTime, limit) };
  render();
}

function stopWaiting() {
  if (page.waiting) clearTimeout(page.waiting.watchdog);
  page.waiting = null;
}

function engineLine(line) {
  const move = MOVE_LINE.exec(line);
  if (move && page.waiting) {
    stopWaiting();
    const row = Number(move[1]);
    const col = Number(move[2]);
    if (!page.game.play(row, col)) {
      log(`The engine answered ${line}, which is not a free point.`, 'error');
      engineGone(`the engine answered ${line}, which is not a free point`);
      return;
    }
    page.engineMoves = page.game.moves.length;
    render();
    return;
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

function newGame(game = null) {
  page.settings = readSettings();
  page.human = page.settings.human;
  page.game = game || new Game(page.settings.size, page.settings.rule);
  page.note = '';
  page.spent = 0;
  $('log').replaceChildren();
  startEngine();
  render();
}

function humanMove(row, col) {
  const g = page.game;
  if (page.waiting || page.note || g.toMove() !== page.human) return;
  if (!g.play(row, col)) return;
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
  render();
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
  } else if (g.toMove() === page.human) {
    [text, state] = [`Your move, ${you}.`, 'your-turn'];
  } else {
    [text, state] = ['The engine is thinking…', 'thinking'];
  }
  status.textContent = text;
  status.dataset.state = state;
  $('board').className = state;
  $('undo').disabled = !g.moves.some((_, i) => (i % 2 === 0 ? BLACK : WHITE) === page.human);

  if (document.activeElement !== $('moves')) $('moves').value = formatMoves(g.moves);
  const left = timeLeft();
  $('clock').textContent =
    `Engine clock: ${clock(left)} left of ${clock(page.settings.matchMs)}, ` +
    `${page.settings.turnMs / 1000} s a move.`;

  // The engine's turn comes after the board shows the person's stone.
  if (state === 'thinking' && !page.waiting) askEngine();
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

async function copyMoves() {
  const text = formatMoves(page.game.moves);
  try {
    await navigator.clipboard.writeText(text);
  } catch {
    $('moves').value = text;
    $('moves').select();
    document.execCommand('copy');
  }
  $('moves-note').textContent = `Copied ${page.game.moves.length} moves.`;
}

function setUp() {
  const s = readSettings();
  const parsed = parseMoves($('moves').value, s.size, s.rule);
  if (parsed.error) {
    $('moves-note').textContent = parsed.error;
    return;
  }
  $('moves-note').textContent = `Set up ${parsed.game.moves.length} moves.`;
  newGame(parsed.game);
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
$('new-game').addEventListener('click', () => newGame());
$('undo').addEventListener('click', undo);
$('copy-moves').addEventListener('click', copyMoves);
$('set-up').addEventListener('click', setUp);
newGame();
registerOffline();
