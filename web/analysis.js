// The engine's study of a position, for the page: every candidate move with its own value, the
// engine's own choice, and the line it expects after a candidate. It runs in a worker of its
// own, so it neither waits for nor costs the game's engine and its clock.

// The request for a position: stones as row,col,who (1 black, 2 white) and the side to move.
function request(kind, game, level, extra = '') {
  const stones = [];
  for (let r = 0; r < game.size; ++r) {
    for (let c = 0; c < game.size; ++c) if (game.at(r, c)) stones.push(`${r},${c},${game.at(r, c)}`);
  }
  return `${kind} ${game.size} ${game.rule} ${level} ${MAX_MS} ${game.toMove()} ${extra}${stones.join(' ')}`;
}

// An analysis that runs longer than this stops by itself and keeps what it has.
const MAX_MS = 120000;

const point = (text) => text.split(',').map(Number);

// Reads the answer's lines into `state`: {moves, engine, candidates, stopped, done, error}.
export function readAnswer(state, line) {
  const [word, ...rest] = line.split(' ');
  if (word === 'moves') state.moves = rest.map(point);
  else if (word === 'engine') state.engine = { at: point(rest[0]), value: Number(rest[1]) };
  else if (word === 'candidate') {
    // A third number: the engine's own move, shown at the engine's value, was valued otherwise alone.
    const c = { at: point(rest[0]), value: Number(rest[1]) };
    if (rest[2] !== undefined) c.alone = Number(rest[2]);
    state.candidates.push(c);
  }
  else if (word === 'stopped') state.stopped = rest[0];
  else if (word === 'line') state.line = rest.map(point);
  else if (word === 'done') state.done = true;
  else if (word === 'error') state.error = rest.join(' ');
}

// The candidates by point, best first: the generator may list a point twice (from two of its
// lists, with different follow-ups), and the point is worth the better of the two, as the root
// search would take it. Equal values keep the generator's order. Each gets its rank, 1 = best.
export function rankCandidates(candidates) {
  const best = new Map();
  candidates.forEach((c, order) => {
    const key = `${c.at[0]},${c.at[1]}`;
    if (!best.has(key) || best.get(key).value < c.value) best.set(key, { ...c, order: best.get(key)?.order ?? order });
  });
  return [...best.values()]
    .sort((a, b) => b.value - a.value || a.order - b.order)
    .map((c, i) => ({ at: c.at, value: c.value, alone: c.alone, rank: i + 1 }));
}

export class Analysis {
  // onChange() is called whenever something new is known.
  constructor(onChange) {
    this.onChange = onChange;
    this.worker = null;
    this.state = null;
    this.lines = new Map(); // candidate "r,c" -> a promise of its line, for the position analysed
  }

  // Starts analysing `game` (its position and side to move) at `level`; any analysis under way
  // is dropped.
  start(game, level) {
    this.stop(false);
    this.state = { level, moves: null, engine: null, candidates: [], stopped: null, done: false, error: null };
    this.game = game;
    this.lines = new Map();
    this.send(request('analyse', game, level), (line) => readAnswer(this.state, line));
    this.onChange();
  }

  // Ends the analysis under way; what has finished stays.
  stop(userStopped = true) {
    if (this.worker) this.worker.terminate();
    this.worker = null;
    for (const [key, promise] of this.lines) if (!promise.settled) this.lines.delete(key);
    if (this.state && !this.state.done && userStopped) {
      this.state.stopped = 'stopped';
      this.state.done = true;
      this.onChange();
    }
  }

  clear() {
    this.stop(false);
    this.state = null;
    this.lines = new Map();
  }

  running() {
    return Boolean(this.state && !this.state.done);
  }

  // The engine's line after candidate [r, c] of the position analysed; a promise of the points
  // (the candidate first), queued behind the analysis itself.
  line(at, level) {
    const key = `${at[0]},${at[1]}`;
    if (!this.lines.has(key)) {
      const promise = this.ask('line', this.game, level, `${key} `).then((answer) => {
        promise.settled = true;
        return answer.line || [];
      });
      this.lines.set(key, promise);
    }
    return this.lines.get(key);
  }

  // The engine's own answer in `game` at `level`: a promise of {engine: {at, value}} (engine
  // null when it has no move there, or stopped).
  answer(game, level) {
    return this.ask('engine', game, level);
  }

  ask(kind, game, level, extra = '') {
    const answer = { moves: null, engine: null, candidates: [], line: null, stopped: null, done: false, error: null };
    return new Promise((resolve) => {
      this.send(request(kind, game, level, extra), (text) => {
        readAnswer(answer, text);
        if (answer.done || answer.error) resolve(answer);
      });
    });
  }

  // Requests are answered in order; each takes the lines up to its "done" (or "error").
  send(text, onLine) {
    if (!this.worker) {
      this.queue = [];
      this.worker = new Worker('analysis-worker.js');
      this.worker.onmessage = (e) => this.receive(e.data);
      this.worker.onerror = (e) => {
        e.preventDefault();
        this.receive({ fatal: e.message || 'the analysis worker failed' });
      };
    }
    this.queue.push(onLine);
    this.worker.postMessage(text);
  }

  receive(msg) {
    const onLine = this.queue[0];
    if ('fatal' in msg) {
      this.stop(false);
      if (this.state && !this.state.done) Object.assign(this.state, { error: msg.fatal, done: true });
      this.onChange();
      return;
    }
    onLine?.(msg.line);
    if (/^(done|error)/.test(msg.line)) this.queue.shift();
    this.onChange();
  }
}
