// The game against the engine: the engine in its worker, driven through its protocol the way a
// tournament manager drives it (START and INFO before every game, time_left before every move,
// TURN for the person's move, RESTART with a BOARD block whenever the engine's board no longer
// matches the game), its clock, the hint, and the engine's view of each of its moves. The
// moves themselves go into the tree that Navigation keeps; the page redraws through `render`.

import { BLACK, EMPTY, WHITE, boardBlock } from './game.js';
import { lineThrough, moveOf, pathTo } from './tree.js';
import { EngineLink, readLine } from './engine-link.js';
import { WON } from './value-plot.js';
import { log, notice } from './notes.js';

export class Play {
  constructor(nav, render) {
    this.nav = nav;
    this.render = render;
    this.settings = null; // the form's values when the game began
    this.human = BLACK;
    this.engine = null; // EngineLink, or null until one is needed
    this.spent = 0; // ms the engine has searched in this game, for its clock
    this.engineMoves = -1; // how many of the game's moves the engine's board holds; -1 when it differs
    this.waiting = null; // {kind: 'move' | 'hint', watchdog} while the engine is asked
    this.search = null; // what the search under way has said of itself
    this.values = {}; // by node id, for each engine move: {value, level, dropped, stopped, ms}
    this.lastMove = null; // id of the engine's latest move, whose search time comes after it
    this.hint = null; // [row, col] the engine suggests for the person
    this.note = ''; // why the game stopped, when the engine did not finish it
  }

  // A new game on the tree Navigation now holds, with the person on side `human`; `kept` brings
  // back the clock and the values a reload kept.
  begin(settings, human, kept = null) {
    this.settings = settings;
    this.human = human;
    this.note = '';
    this.hint = null;
    this.spent = kept?.spent ?? 0;
    this.values = kept?.values ?? {};
    this.startEngine();
  }

  enginePlayer() {
    return this.human === BLACK ? WHITE : BLACK;
  }

  startEngine() {
    const s = this.settings;
    if (!this.engine || this.waiting) {
      // A search cannot be interrupted from outside: a busy engine is replaced by a fresh one.
      if (this.engine) this.engine.stop();
      this.engine = new EngineLink((line) => this.engineLine(line), (why) => this.engineFailed(why), (ms, kind) => {
        if (kind === 'move') {
          this.spent += ms; // a hint is not the engine's time
          if (this.values[this.lastMove]) this.values[this.lastMove].ms = Math.round(ms);
        }
        this.render();
      });
    }
    this.stopWaiting();
    this.engine.send(
      `START ${s.size}\nINFO timeout_turn ${s.turnMs}\nINFO timeout_match ${s.matchMs}\n` +
        `INFO rule ${s.rule}\n`,
    );
    this.engineMoves = this.nav.liveGame().setup ? -1 : 0; // set-up stones go over in a BOARD block
  }

  timeLeft() {
    return Math.max(0, Math.round(this.settings.matchMs - this.spent));
  }

  clockText() {
    return `Engine clock: ${clock(this.timeLeft())} left of ${clock(this.settings.matchMs)}, ` +
      `${this.settings.turnMs / 1000} s a move.`;
  }

  // Asks for the engine's move when it is the engine's turn in the game shown live.
  askEngine() {
    if (!this.engine) this.startEngine();
    const game = this.nav.liveGame();
    const moves = game.moves;
    let text = `INFO time_left ${this.timeLeft()}\n`;
    if (this.engineMoves === 0 && moves.length === 0 && !game.setup) {
      text += 'BEGIN\n';
    } else if (this.engineMoves >= 0 && this.engineMoves === moves.length - 1) {
      const [r, c] = moves[moves.length - 1];
      text += `TURN ${r},${c}\n`;
    } else {
      text += 'RESTART\n' + boardBlock(game.playOrder(), this.enginePlayer());
    }
    this.send(text, 'move');
  }

  // Sends a request for a move and watches it. The engine keeps to its time itself (its level
  // drops, then a hard stop); one that still runs far over is stopped, as a manager would.
  send(text, kind) {
    this.engine.send(text, kind);
    const limit = Math.max(3 * this.settings.turnMs, this.settings.turnMs + 20000);
    this.waiting = { kind, watchdog: setTimeout(() => this.engineOverTime(), limit) };
    this.search = {};
    this.render();
  }

  // What the engine would play for the person here, at the game's settings. The engine is
  // handed the position whole and answers for the side to move; its board then differs from
  // the game, so the next move request hands it the game again.
  askHint() {
    const g = this.nav.game;
    if (this.waiting) {
      notice(this.waiting.kind === 'hint' ? 'A hint is on its way.' : 'The engine is thinking: ask for a hint on your move.');
      return;
    }
    if (!this.nav.isLive()) {
      notice('A hint is for the game in progress: go to its last move, or play from here.');
      return;
    }
    if (g.result || this.note || g.toMove() !== this.human) return;
    if (!this.engine) this.startEngine();
    this.hint = null;
    this.engineMoves = -1;
    notice('');
    this.send(`INFO time_left ${this.timeLeft()}\nRESTART\n` + boardBlock(g.playOrder(), this.human), 'hint');
  }

  // The person moves while a hint is computed: the hint is dropped with its engine.
  dropHint() {
    if (this.waiting?.kind !== 'hint') return;
    this.engine.stop();
    this.engine = null;
    this.stopWaiting();
  }

  // Lets go of an engine that is thinking: a fresh one gets the position when it is needed.
  release() {
    if (!this.waiting) return;
    this.engine.stop();
    this.engine = null;
    this.stopWaiting();
  }

  stopWaiting() {
    if (this.waiting) clearTimeout(this.waiting.watchdog);
    this.waiting = null;
    this.search = null;
  }

  engineLine(line) {
    const info = readLine(line);
    if (info?.move && this.waiting) {
      const [row, col] = info.move;
      const { kind } = this.waiting;
      const search = this.search;
      this.stopWaiting();
      if (kind === 'hint') {
        const g = this.nav.game;
        if (g.onBoard(row, col) && g.at(row, col) === EMPTY) this.hint = [row, col];
        this.render();
        return;
      }
      const game = this.nav.liveGame();
      if (!game.play(row, col)) {
        log(`The engine answered ${line}, which is not a free point.`, 'error');
        this.engineGone(`the engine answered ${line}, which is not a free point`);
        return;
      }
      const following = this.nav.isLive();
      const id = this.nav.play(this.nav.gameEnd, this.enginePlayer(), [row, col]);
      this.engineMoves = game.moves.length;
      this.recordValue(search, id, game);
      this.lastMove = id;
      if (following) this.nav.goTo(id); // a person looking elsewhere stays where they are
      this.render();
      return;
    }
    // What a search says of itself; START's benchmark, answered before the request, is no part.
    if (info && this.search && this.engine?.pieces[0]) {
      const s = this.search;
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
      if (this.waiting) {
        this.stopWaiting();
        this.engineGone(`the engine answered "${line}"`);
      }
    } else if (line !== 'OK') log(line);
  }

  engineFailed(reason) {
    log(`Stopped: ${reason}`, 'error');
    this.engine = null;
    if (this.waiting || !this.nav.liveGame().result) this.engineGone(reason);
  }

  engineOverTime() {
    if (this.engine) this.engine.stop();
    this.engine = null;
    if (this.waiting?.kind === 'hint') {
      this.stopWaiting();
      notice('The hint took too long and was dropped.');
      this.render();
      return;
    }
    this.waiting = null;
    this.nav.forfeitWith({ winner: this.human, line: [] });
    this.note = 'the engine ran over its time';
    log('The engine ran over its time and was stopped.', 'error');
    this.render();
  }

  // The game cannot go on with this engine; a new game starts a fresh one.
  engineGone(why) {
    if (this.engine) this.engine.stop();
    this.engine = null;
    this.stopWaiting();
    this.note = why;
    this.render();
  }

  // The engine's view of one of its moves, for the plot. A five is a win; any other move made
  // without a search (the opening at the centre, a single forced reply) keeps the value of the
  // engine's move before it (node `id` has none yet).
  recordValue(search, id, game) {
    const before = this.engineValues(lineThrough(this.nav.tree, id, {})).at(-1)?.value ?? 0;
    this.values[id] = {
      value: game.result?.winner === this.enginePlayer() ? WON : search?.value ?? before,
      level: search?.level,
      dropped: search?.dropped,
      stopped: search?.stopped,
    };
  }

  // The engine's values along a line: {move, value, level, ...} for each engine move in it.
  engineValues(line) {
    const points = [];
    line.forEach((node, i) => {
      if (this.values[node.id]) points.push({ move: i, ...this.values[node.id] });
    });
    return points;
  }

  // A click on the board outside the editor. In the game in progress the person plays their
  // side; anywhere else in the tree a move of the side to move starts a variation (or follows
  // the one that holds it), and the engine stays out of it until "Play from here".
  personMove(row, col) {
    const nav = this.nav;
    const g = nav.game;
    if (g.result || !g.onBoard(row, col) || g.at(row, col) !== EMPTY) return;
    if (nav.isLive()) {
      this.dropHint();
      if (this.waiting || this.note || g.toMove() !== this.human) return;
    }
    nav.goTo(nav.play(nav.current, g.toMove(), [row, col]));
    notice('');
    this.render();
  }

  // Takes back the person's last move in the game and whatever the engine answered to it.
  undo() {
    const nav = this.nav;
    if (!nav.isLive()) return;
    const mine = pathTo(nav.tree, nav.gameEnd).findLast((node) => moveOf(node)?.player === this.human);
    if (!mine) return;
    if (this.waiting || !this.engine) this.startEngine();
    nav.cut(mine.id);
    this.moveGameEnd(mine.parentId);
    nav.goTo(mine.parentId);
    this.render();
  }

  // The game against the engine now stands at node `id`: a search under way for the old end is
  // dropped with its engine, and the engine gets the new position whole.
  moveGameEnd(id) {
    this.release();
    this.nav.moveGameEnd(id);
    this.note = '';
    this.engineMoves = -1;
  }

  canUndo() {
    const g = this.nav.game;
    return this.nav.isLive() && g.moves.some((_, i) => g.playerOf(i) === this.human);
  }

  // The engine's turn comes after the board shows the person's stone.
  moveIfDue(state) {
    if (state === 'thinking' && !this.waiting && this.nav.isLive()) this.askEngine();
  }
}

function clock(ms) {
  const s = Math.round(ms / 1000);
  return `${Math.floor(s / 60)}:${String(s % 60).padStart(2, '0')}`;
}
