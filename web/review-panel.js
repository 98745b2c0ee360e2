// Reviewing the line shown, and the engine's view beside the board: the value line under the
// status and the plot. A review values every position of the line with the engine's own root
// search at the level of the analysis, the positions shared out over the pool of analysis
// workers, and judges each move by the positions before and after it (review.js) as soon as
// both are in; the judgements go into the tree as they come, and the answers found are kept
// (storage.js) so that a review again only searches what is new.

import { BLACK, EMPTY } from './game.js';
import { gameAt } from './tree.js';
import { engineWords, judgeNode } from './review.js';
import { describeResult, describeSearch, describeValue, drawPlot, drawReview } from './value-plot.js';
import { askPool, positionKey } from './analysis.js';
import { coalesce } from './analysis-pool.js';
import { $, pointName, studyNote } from './notes.js';

export class ReviewPanel {
  constructor(nav, play, store, pool, render) {
    this.nav = nav;
    this.play = play;
    this.store = store;
    this.pool = pool;
    this.render = render;
    this.renderSoon = coalesce(render, 250); // as answers come in: the plot fills in
    this.run = null; // {level, done, total, running} while a review runs
    this.answers = store.loadReviews(); // `${level} ${positionKey}` -> {at, value}
  }

  running() {
    return Boolean(this.run?.running);
  }

  // Reviews the line through the node shown, from its start to its last move, at `level`.
  async start(level) {
    if (this.running()) return;
    const nav = this.nav;
    const line = nav.lineShown();
    const games = line.map((node) => gameAt(nav.tree, node.id));
    const run = { level, done: 0, total: games.length, running: true };
    this.run = run;
    studyNote(`Reviewing ${games.length - 1} moves at level ${level}…`);
    this.render();
    const answers = [];
    // Move k is judged once the positions before and after it are both in.
    const judge = (k) => {
      if (k < 1 || k >= games.length || answers[k - 1] === undefined || answers[k] === undefined) return;
      if (!nav.has(line[k].id)) return;
      const size = games[k].size;
      nav.update((tree) => judgeNode(tree, line[k].id, answers[k - 1], answers[k], (at) => pointName(at, size)));
    };
    await Promise.all(games.map(async (game, k) => {
      const answer = await this.answer(game, level, run);
      if (this.run !== run || !run.running) return; // stopped, or a new game began
      answers[k] = answer;
      ++run.done;
      judge(k);
      judge(k + 1);
      this.renderSoon();
    }));
    if (this.run !== run || !run.running) return;
    run.running = false;
    this.renderSoon.cancel();
    this.answers = this.store.saveReviews(this.answers);
    studyNote(`Reviewed ${games.length - 1} moves at level ${level}.`);
    this.render();
  }

  // The engine's answer in `game` at `level`: {at, value} for the side to move, or null when it
  // could not be found (a search stopped at its limit, or the review was stopped).
  async answer(game, level, run) {
    const key = `${level} ${positionKey(game)}`;
    if (this.answers[key]) return this.answers[key];
    let answer;
    if (game.result) answer = { at: null, value: game.result.winner === EMPTY ? 0 : -1024 }; // over: lost
    else if (game.stones === 0) answer = { at: [(game.size - 1) >> 1, (game.size - 1) >> 1], value: 0 }; // the centre
    else {
      const found = await askPool(this.pool, 'engine', game, level, '', run);
      if (!found) return null;
      if (found.engine) answer = found.engine;
      else if (found.moves && found.moves.length === 0) answer = { at: null, value: 0 };
      else return null;
    }
    this.answers[key] = answer;
    return answer;
  }

  // Ends a review under way; the positions done stay judged. `said` tells the person so.
  stop(said = false) {
    const run = this.run;
    if (!run?.running) return;
    run.running = false;
    this.renderSoon.cancel();
    this.pool.cancel(run);
    this.answers = this.store.saveReviews(this.answers);
    if (said) studyNote(`Review stopped: ${run.done} of ${run.total} positions done, their moves judged.`);
  }

  // The progress bar and the review button.
  renderProgress() {
    $('review').disabled = this.running();
    const bar = $('review-progress');
    bar.max = this.run?.total ?? 1;
    bar.value = this.run?.done ?? 0;
    bar.hidden = !this.running();
  }

  // The plot: after a review, one point per move of the line shown (its V, from the person's
  // side); before, the engine's value after each of its own moves in the game, and the result
  // once the game is decided. The value line speaks of the position shown: the result of a
  // decided game, the reviewed value of the move shown, or the engine's latest value at or
  // before it on the game's line; elsewhere it says nothing. `editing` hides the result.
  renderValue(editing, onPick) {
    const { nav, play } = this;
    const g = nav.game;
    const record = Boolean(nav.record); // a record is seen from black's side
    const human = record ? BLACK : play.human;
    const over = g.result && !editing ? describeResult(g.result, human, record) : null;
    const reviewed = [];
    nav.lineShown().forEach((node, i) => {
      if (i === 0 || node.data.V === undefined) return;
      const forBlack = Number(node.data.V[0]);
      const mark = { 1: 'mistake', 2: 'blunder' }[node.data.BM?.[0]] ?? null;
      reviewed.push({
        id: node.id, move: i, mark, current: node.id === nav.current,
        value: human === BLACK ? forBlack : -forBlack,
        title: `Move ${i}: ${engineWords(node.data.C?.[0]) || describeValue(human === BLACK ? -forBlack : forBlack, record)}`,
      });
    });
    if (reviewed.length) {
      const shown = reviewed.find((p) => p.current);
      $('value').textContent = over?.words ?? (shown ? describeValue(-shown.value, record) : '');
      $('value-detail').textContent = shown?.title ?? '';
      drawReview($('value-plot'), reviewed, (p) => onPick(p.id));
      return;
    }
    const gameLine = nav.gameLine();
    const points = play.engineValues(gameLine);
    const live = nav.liveGame();
    if (live.result) {
      const end = describeResult(live.result, human, record);
      points.push({ move: gameLine.length - 1, value: end.value, result: end.words });
    }
    const at = gameLine.findIndex((node) => node.id === nav.current);
    const shown = at < 0 ? null : points.filter((p) => p.move <= at).at(-1);
    let words = '';
    if (over) words = over.words;
    else if (shown) words = describeValue(shown.value);
    else if (nav.isLive()) words = 'The engine\'s view of the game appears after its first move.';
    $('value').textContent = words;
    $('value-detail').textContent = shown && !shown.result ? `Move ${shown.move}: ${describeSearch(shown)}` : '';
    drawPlot($('value-plot'), points);
  }
}
