// The analysis workers: a pool of them, each with an engine of its own, fed requests (a
// candidate's value, the engine's answer, a line, a review's position) as they come free. Every
// request is searched with a fresh table, so no answer depends on which worker gave it or on
// what it searched before: one worker or eight give the same values. Nothing is shared between
// workers (no SharedArrayBuffer), so any static server serves the page.
//
// A search cannot be interrupted from outside: cancelling work under way ends its worker, and a
// fresh one takes its place when there is work again. A worker that fails is replaced and its
// request given to the next free one, twice at most. Each worker holds the request it answers
// and the next one, so that it never waits for the page to hand it more.

const TRIES = 3;
const DEPTH = 2; // requests a worker holds at once

// Answers come from several workers at once, dozens a second: redrawing the page for each would
// keep the page's own thread busy on a core the workers need. `coalesce(fn)` calls fn at once,
// then at most once every `ms` while calls keep coming, the last one always honoured.
// `cancel()` drops a call still due, for a caller that has just drawn everything itself (a
// redraw after it would take the keyboard's focus off what it drew).
export function coalesce(fn, ms = 100) {
  let timer = null;
  let due = false;
  const call = () => {
    if (timer) {
      due = true;
      return;
    }
    fn();
    timer = setTimeout(() => {
      timer = null;
      if (due) {
        due = false;
        call();
      }
    }, ms);
  };
  call.cancel = () => {
    clearTimeout(timer);
    timer = null;
    due = false;
  };
  return call;
}

// `size` workers at most; `makeWorker()` starts one (a test hands in its own).
export class AnalysisPool {
  constructor(size, makeWorker = () => new Worker('analysis-worker.js')) {
    this.size = size;
    this.makeWorker = makeWorker;
    this.workers = new Map(); // worker -> the jobs it holds, the one it answers first
    this.queue = []; // jobs not yet handed out, first come first
  }

  // Answers `text` on the first free worker: a promise of the answer's lines, up to "done" or
  // "error" (a worker that fails thrice gives "error ..."), or null when the job is cancelled.
  // `group` is what `cancel` names; `urgent` jobs go before the queue.
  run(text, group = null, urgent = false) {
    return new Promise((resolve) => {
      const job = { text, group, resolve, lines: [], tries: 0 };
      if (urgent) this.queue.unshift(job);
      else this.queue.push(job);
      this.dispatch();
    });
  }

  // Drops the jobs of `group` (every job when null): queued ones go, and the workers holding
  // the others are ended (what else they held goes back to the queue's front). Each dropped
  // job's promise gives null.
  cancel(group = null) {
    const hit = (job) => group === null || job.group === group;
    for (const job of this.queue.filter(hit)) job.resolve(null);
    this.queue = this.queue.filter((job) => !hit(job));
    for (const [worker, jobs] of [...this.workers]) {
      if (!jobs.some(hit)) continue;
      this.end(worker);
      for (const job of jobs.filter(hit)) job.resolve(null);
      this.queue.unshift(...jobs.filter((job) => !hit(job)));
    }
    this.dispatch();
  }

  // A new size; workers beyond it go as they come free.
  resize(size) {
    this.size = size;
    for (const [worker, jobs] of [...this.workers]) {
      if (this.workers.size > size && jobs.length === 0) this.end(worker);
    }
    this.dispatch();
  }

  // Hands out queued jobs: to a free worker, else a new one, else one with a job to finish.
  dispatch() {
    while (this.queue.length) {
      const held = [...this.workers];
      let worker = held.find(([, jobs]) => jobs.length === 0)?.[0];
      if (!worker && this.workers.size < this.size) worker = this.start();
      worker ??= held.find(([, jobs]) => jobs.length < DEPTH)?.[0];
      if (!worker) return;
      const job = this.queue.shift();
      job.lines = [];
      this.workers.get(worker).push(job);
      worker.postMessage(job.text);
    }
  }

  start() {
    const worker = this.makeWorker();
    worker.onmessage = (e) => this.receive(worker, e.data);
    worker.onerror = (e) => {
      e.preventDefault?.();
      this.receive(worker, { fatal: e.message || 'the analysis worker failed' });
    };
    this.workers.set(worker, []);
    return worker;
  }

  end(worker) {
    this.workers.delete(worker);
    worker.terminate();
  }

  receive(worker, msg) {
    const jobs = this.workers.get(worker);
    if (!jobs?.length) return; // a worker that was let go
    const [job] = jobs;
    if ('fatal' in msg) {
      this.end(worker);
      if (++job.tries >= TRIES) {
        jobs.shift();
        job.resolve([`error ${msg.fatal}`]);
      }
      this.queue.unshift(...jobs);
      this.dispatch();
      return;
    }
    job.lines.push(msg.line);
    if (!/^(done|error)/.test(msg.line)) return;
    jobs.shift();
    if (jobs.length === 0 && this.workers.size > this.size) this.end(worker);
    job.resolve(job.lines);
    this.dispatch();
  }
}
