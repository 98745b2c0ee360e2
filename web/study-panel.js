// Studying the position shown: the engine's analysis of every candidate (on the pool of
// analysis workers, deepening level by level), the line it expects after the one pointed at,
// and links to positions (share, open, and bring back the game a link replaced).

import { Analysis, positionKey, rankCandidates } from './analysis.js';
import { coalesce } from './analysis-pool.js';
import { drawCandidates, drawLine, valueWords } from './study.js';
import { formatLink, parseLink } from './link.js';
import { $, playerName, pointName, studyNote } from './notes.js';

export class StudyPanel {
  // `hooks`: render(), editing() (whether the editor is open), reviewing() (whether a review
  // runs), finishEditing() (false when the position cannot start a game), openGame(game, human),
  // restoreGame(saved) (false when the kept game does not read).
  constructor(nav, board, store, pool, hooks) {
    this.nav = nav;
    this.board = board;
    this.store = store;
    this.hooks = hooks;
    this.analysis = new Analysis(pool, coalesce(() => this.render()));
    this.analysedKey = ''; // which position the analysis is of
    this.lineAt = null; // [row, col] of the candidate whose line is shown
    this.pointer = 'mouse'; // how the board was last touched: a tap on a candidate first shows its line
  }

  analyse(level) {
    if (!this.hooks.finishEditing()) return;
    const g = this.nav.game;
    if (g.result) {
      studyNote('The game is over: there is nothing to analyse.');
      return;
    }
    this.lineAt = null;
    this.analysedKey = positionKey(g);
    this.analysis.start(g, level);
    this.hooks.render();
    focusStop();
  }

  stop() {
    this.analysis.stop();
  }

  running() {
    return this.analysis.running();
  }

  // The candidates on the board, the line, the progress and the note.
  render() {
    const a = this.analysis;
    const g = this.nav.game;
    const name = (at) => pointName(at, g.size);
    if (a.state && (this.hooks.editing() || this.analysedKey !== positionKey(g))) {
      a.clear(); // the position changed: its candidates no longer apply
      this.lineAt = null;
    }
    const state = a.state;
    const ranked = state ? rankCandidates(state.candidates) : [];
    drawCandidates(this.board.el, ranked, state?.engine?.at);
    const progress = $('analysis-progress');
    progress.max = state?.total ?? 1;
    progress.value = state?.finished ?? 0;
    progress.hidden = !a.running(); // only a running bar shows, so that it needs no words
    $('analyse').disabled = Boolean(g.result) && !this.hooks.editing();
    $('analysis-stop').disabled = !a.running() && !this.hooks.reviewing();

    const line = this.lineAt && state && a.lineOf(this.lineAt, state.level);
    drawLine(this.board.el, line?.value ?? null, g.toMove());
    if (!state) return;
    const side = playerName(g.toMove());
    const parts = [];
    if (state.error) parts.push(`The analysis failed: ${state.error}.`);
    else if (state.moves && state.moves.length === 0) {
      parts.push(g.stones === 0 ? 'On an empty board the engine opens at the centre.' : `No move for ${side} to analyse here.`);
    } else {
      // The generator may list a point twice; the board shows it once, and so does the count.
      const points = new Set((state.moves ?? []).map(([r, c]) => `${r},${c}`)).size;
      parts.push(`${side[0].toUpperCase()}${side.slice(1)} to move, ${depth(state, ranked.length, points)}`);
      if (state.engine) parts.push(`The engine plays ${name(state.engine.at)} (${valueWords(state.engine.value)}).`);
      if (state.stopped) {
        parts.push(state.stopped === 'stopped' ? 'Stopped: the finished candidates stay.' : `Stopped at its ${state.stopped} limit.`);
      }
      if (ranked.length) {
        parts.push(this.pointer === 'touch' ? 'Tap a candidate for its line, and again to play it.'
          : 'Point at a candidate for its line; click it to play it.');
      }
    }
    if (this.lineAt) {
      const points = line?.value;
      parts.push(points ? `Line: ${points.map(name).join(' ')}` : `Line after ${name(this.lineAt)}: thinking…`);
    }
    studyNote(parts.join(' '));
  }

  // Shows the engine's line after the candidate at `at` (null hides it): at once when it is
  // known, else as soon as a worker has found it.
  showLine(at) {
    if (at && this.lineAt && at[0] === this.lineAt[0] && at[1] === this.lineAt[1]) return;
    this.lineAt = at;
    if (at) this.analysis.line(at, this.analysis.state.level).promise.then(() => this.render());
    this.render();
  }

  // The candidate at a board point, or null.
  candidateAt(pt) {
    return pt?.dataset.candidate ? [Number(pt.dataset.row), Number(pt.dataset.col)] : null;
  }

  // Whether a touch on candidate `at` should show its line first rather than play it.
  showsLineFirst(at) {
    return Boolean(at && this.pointer === 'touch' && !(this.lineAt && this.lineAt[0] === at[0] && this.lineAt[1] === at[1]));
  }

  async share() {
    if (!this.hooks.finishEditing()) return;
    const url = `${location.origin}${location.pathname}#${formatLink(this.nav.game)}`;
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

  // Opens the position in the address's link, if it holds one: true when it did, the words of
  // the refusal (also shown) when the link does not read, and false when there is none. The
  // game it replaces stays in the browser's storage and can be brought back; a refused link
  // changes nothing.
  async openLink() {
    const read = parseLink(location.hash);
    if (!read) return false;
    history.replaceState(null, '', location.pathname + location.search); // a reload keeps the game
    if (read.error) {
      const words = `This link is refused: ${read.error}`;
      studyNote(words, 'error');
      return words;
    }
    if (this.store.read()) await this.store.setAside(); // a game worth keeping stands in this tab's slot
    this.hooks.openGame(read.game, read.game.toMove());
    $('restore-game').hidden = !this.store.hasPrevious();
    studyNote(`Opened the linked position: ${playerName(read.game.toMove())} to move, played by you.`);
    return true;
  }

  async restorePrevious() {
    $('restore-game').hidden = true;
    const saved = await this.store.bringBack();
    const back = saved && this.hooks.restoreGame(saved);
    studyNote(back ? 'Your earlier game is back.' : 'The earlier game could not be read.');
  }
}

// How far an analysis has come: "level 2 of 3 done, level 3 running: 5 of 16 candidates…",
// then "level 3: 16 of 16 candidates."
function depth(state, shown, points) {
  if (!state.moves) return `level ${state.level}: thinking…`;
  const count = `${shown} of ${points} candidates`;
  if (state.done || state.levelDone === state.level) return `level ${state.level}: ${count}${state.done ? '.' : '…'}`;
  const running = (state.levelDone ?? (state.level === 0 ? -1 : 0)) + 1;
  const done = state.levelDone === null ? '' : `level ${state.levelDone} of ${state.level} done, `;
  return `${done}level ${running} running: ${count}…`;
}

// Keyboard users land on Stop once a search starts; the page scrolls no more than it must.
export function focusStop() {
  $('analysis-stop').focus({ preventScroll: true });
  $('analysis-stop').scrollIntoView({ block: 'nearest' });
}
