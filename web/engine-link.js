// The link to the engine in its worker: protocol text out, reply lines in, and what a search
// says of itself (its level, its value, whether it stopped at a limit) read from those lines.
// The page decides what to ask; this module only carries it.

// Reads one line of the engine's output: a move, or what a search reports on its way.
//   {move: [r, c]}, {level: n}, {value: v, at: [r, c]}, {stopped: 'time' | 'memory'}, or null.
export function readLine(line) {
  let m = /^(\d+),(\d+)$/.exec(line);
  if (m) return { move: [Number(m[1]), Number(m[2])] };
  m = /^MESSAGE Level\.\.\. (\d)$/.exec(line);
  if (m) return { level: Number(m[1]) };
  m = /^MESSAGE \[(\d+),(\d+)\], val = (-?\d+)$/.exec(line);
  if (m) return { value: Number(m[3]), at: [Number(m[1]), Number(m[2])] };
  m = /^MESSAGE Search stopped at its (time|memory) limit/.exec(line);
  if (m) return { stopped: m[1] };
  return null;
}

// One worker. Each piece of text sent carries a kind ('move', 'hint' or null for settings); when
// the engine has answered a piece, onSearched(ms, kind) says how long it took.
export class EngineLink {
  constructor(onLine, onFatal, onSearched) {
    this.onLine = onLine;
    this.onFatal = onFatal;
    this.onSearched = onSearched;
    this.pieces = []; // the kind of each piece sent and not yet answered
    this.worker = new Worker('engine-worker.js');
    this.worker.onmessage = (e) => this.receive(e.data);
    this.worker.onerror = (e) => {
      e.preventDefault();
      this.receive({ fatal: e.message || 'the worker failed' });
    };
  }

  send(text, kind = null) {
    this.pieces.push(kind);
    this.worker.postMessage(text);
  }

  receive(msg) {
    if (this.stopped) return;
    if ('line' in msg) this.onLine(msg.line);
    else if ('err' in msg) this.onLine(msg.err);
    else if ('done' in msg) {
      const kind = this.pieces.shift();
      if (kind) this.onSearched(msg.done, kind);
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
