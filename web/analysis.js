// The engine's study of a position, for the page: every candidate move with its own value, the
// engine's own choice, and the line it expects after a candidate. The searches run on the pool
// of analysis workers (analysis-pool.js), beside the game's own engine, so they neither wait
// for nor cost the game and its clock.
//
// An analysis at level L deepens while the person watches: every candidate is valued at level
// 1, then 2, and so on up to L, each value searched alone (so it is exactly what an analysis
// at that level alone gives), and the engine's own answer at L runs beside them. A candidate
// shows its latest value; the ranks follow the last level done for all of them.

// The request for a position: stones as row,col,who (1 black, 2 white) and the side to move.
function request(kind, game, level, extra = '') {
  const stones = [];
  for (let r = 0; r < game.size; ++r) {
    for (let c = 0; c < game.size; ++c) if (game.at(r, c)) stones.push(`${r},${c},${game.at(r, c)}`);
  }
  return `${kind} ${game.size} ${game.rule} ${level} ${MAX_MS} ${game.toMove()} ${extra}${stones.join(' ')}`;
}

// An analysis that runs longer than this stops and keeps what it has.
const MAX_MS = 120000;
const LINES_KEPT = 200; // lines by position, level and candidate
const LINES_AHEAD = 3; // the best candidates' lines, computed once the last level is in

// Which position an analysis or a review answer belongs to: the stones and who is to move.
export function positionKey(game) {
  return `${game.size} ${game.rule} ${game.toMove()} ${game.cells.join('')}`;
}

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
// search would take it. Candidates are ordered by `rankBy` (their value at the last level done
// by all, while later ones come in) or else their value; equal ones keep the generator's order.
// Each gets its rank, 1 = best.
export function rankCandidates(candidates) {
  const best = new Map();
  const by = (c) => c.rankBy ?? c.value;
  candidates.forEach((c, order) => {
    const key = `${c.at[0]},${c.at[1]}`;
    if (!best.has(key) || by(best.get(key)) < by(c)) best.set(key, { ...c, order: best.get(key)?.order ?? order });
  });
  return [...best.values()]
    .sort((a, b) => by(b) - by(a) || a.order - b.order)
    .map((c, i) => ({ at: c.at, value: c.value, alone: c.alone, level: c.level, rank: i + 1 }));
}

// Asks the pool for `kind` of `game` at `level`: a promise of the answer read ({moves, engine,
// candidates, line, stopped, done, error}), or null when it was cancelled.
export async function askPool(pool, kind, game, level, extra = '', group = null, urgent = false) {
  const lines = await pool.run(request(kind, game, level, extra), group, urgent);
  if (!lines) return null;
  const answer = { moves: null, engine: null, candidates: [], line: null, stopped: null, done: false, error: null };
  for (const line of lines) readAnswer(answer, line);
  return answer;
}

export class Analysis {
  // onChange() is called whenever something new is known.
  constructor(pool, onChange) {
    this.pool = pool;
    this.onChange = onChange;
    this.state = null;
    this.run = null; // what the pool's jobs of the analysis under way are grouped by
    this.lines = new Map(); // `${positionKey} ${level} r,c` -> {promise, value}
  }

  // Starts analysing `game` (its position and side to move) at `level`; any analysis under way
  // is dropped.
  start(game, level) {
    this.stop(false);
    const run = {};
    this.run = run;
    this.game = game;
    this.state = {
      level, moves: null, engine: null, candidates: [], levelDone: null, finished: 0, total: 1,
      stopped: null, done: false, error: null,
    };
    this.timer = setTimeout(() => this.stop('time'), MAX_MS);
    this.onChange();
    this.deepen(run, game, level);
  }

  async deepen(run, game, level) {
    const state = this.state;
    const first = await askPool(this.pool, 'moves', game, level, '', run);
    if (this.run !== run || !first) return;
    if (first.error) return this.finish({ error: first.error });
    state.moves = first.moves;
    const n = state.moves.length;
    if (n === 0) return this.finish();
    // Each candidate at each level, the engine's answer after the first level's.
    const levels = level === 0 ? [0] : Array.from({ length: level }, (_, i) => i + 1);
    this.values = state.moves.map(() => []); // values[i][k]: candidate i alone at level k
    state.total = n === 1 ? 1 : n * levels.length + 1;
    const jobs = [];
    const ask = (kind, k, extra, then) => jobs.push(askPool(this.pool, kind, game, k, extra, run).then((answer) => {
      if (this.run !== run || !answer) return;
      if (answer.error) state.error = answer.error;
      else if (answer.stopped) state.stopped = answer.stopped;
      else then(answer);
      ++state.finished;
      this.update();
    }));
    if (n === 1) {
      // The generator's verdict: the move takes the engine's value, unsearched.
      ask('engine', level, '', (answer) => {
        state.engine = answer.engine;
        this.values[0][level] = answer.engine.value;
      });
    } else {
      levels.forEach((k, j) => {
        state.moves.forEach((_, i) => ask('candidate', k, `${level} ${i} `, (answer) => (this.values[i][k] = answer.candidates[0].value)));
        if (j === 0) ask('engine', level, '', (answer) => (state.engine = answer.engine));
      });
    }
    await Promise.all(jobs);
    if (this.run !== run) return;
    this.finish(state.error ? { error: state.error } : {});
    if (!state.error && !state.stopped) {
      for (const c of rankCandidates(state.candidates).slice(0, LINES_AHEAD)) this.line(c.at, level, false);
    }
  }

  // The candidates as far as they are known: each at its latest level, ranked by the last level
  // every candidate has.
  update() {
    const { state } = this;
    const levels = this.values.map((v) => v.length - 1);
    state.levelDone = null;
    for (let k = state.level; k >= 0 && state.levelDone === null; --k) {
      if (this.values.every((v) => v[k] !== undefined)) state.levelDone = k;
    }
    const engine = state.engine;
    state.candidates = state.moves.flatMap((at, i) => {
      const level = levels[i];
      if (level < 0) return [];
      const alone = this.values[i][level];
      const enginePoint = level === state.level && engine && engine.at[0] === at[0] && engine.at[1] === at[1];
      const c = { at, value: enginePoint ? engine.value : alone, level };
      if (enginePoint) c.alone = alone;
      if (state.levelDone !== null && state.levelDone < level) c.rankBy = this.values[i][state.levelDone];
      return [c];
    });
    this.onChange();
  }

  finish(outcome = {}) {
    clearTimeout(this.timer);
    Object.assign(this.state, outcome, { done: true });
    this.onChange();
  }

  // Ends the analysis under way; what has finished stays. `why`: 'stopped' (the person),
  // 'time' (it ran too long), or false (it is simply dropped).
  stop(why = 'stopped') {
    clearTimeout(this.timer);
    if (this.run) this.pool.cancel(this.run);
    this.run = null;
    for (const [key, line] of this.lines) if (!('value' in line)) this.lines.delete(key);
    if (this.state && !this.state.done && why) {
      this.state.stopped = why;
      this.state.done = true;
      this.onChange();
    }
  }

  clear() {
    this.stop(false);
    this.state = null;
  }

  running() {
    return Boolean(this.state && !this.state.done);
  }

  // The engine's line after candidate `at` of the position analysed: {promise, value} where
  // `value` (the points, the candidate first) is there once it is known. Lines are kept by
  // position and level; one asked for now goes before the analysis's own work.
  line(at, level, urgent = true) {
    const key = this.#lineKey(at, level);
    if (!this.lines.has(key)) {
      const entry = {};
      entry.promise = askPool(this.pool, 'line', this.game, level, `${at[0]},${at[1]} `, this.run, urgent).then((answer) => {
        if (!answer) return null;
        entry.value = answer.line || [];
        return entry.value;
      });
      this.lines.set(key, entry);
      if (this.lines.size > LINES_KEPT) this.lines.delete(this.lines.keys().next().value);
    }
    return this.lines.get(key);
  }

  // The line as far as it is known, without asking for it.
  lineOf(at, level) {
    return this.lines.get(this.#lineKey(at, level));
  }

  #lineKey(at, level) {
    return `${positionKey(this.game)} ${level} ${at[0]},${at[1]}`;
  }
}
