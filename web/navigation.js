// The game tree as the page walks it: the node the board shows, the child each branch follows,
// and the node where the game against the engine stands; and the controls that walk it (the
// buttons under the board, the moves played at the position shown, its comment).

import {
  addMove, deleteBranch, gameAt, lineThrough, moveOf, navigate, nextOf, pathTo, promote,
} from './tree.js';
import { recordOf } from './players.js';
import { $, pointName } from './notes.js';

export class Navigation {
  #tree = null;
  #current = null; // id of the node the board shows
  #currents = {}; // the child each node's line follows
  #gameEnd = null; // id of the node where the game against the engine stands
  #game = null; // the Game at `current`
  #forfeit = null; // the result given when the engine ran over its time

  get tree() { return this.#tree; }
  get current() { return this.#current; }
  get currents() { return this.#currents; }
  get gameEnd() { return this.#gameEnd; }
  get game() { return this.#game; }
  get forfeit() { return this.#forfeit; }

  onGoTo = null; // called whenever the board is to show another node (or the same one anew)

  // The players and result of a record of two other players, or null for a game against the
  // engine. A record has no game in progress: the engine takes no side in it.
  get record() { return recordOf(this.#tree.root.data); }

  // Plays on from the end of the tree's main line, or where `kept` (a reload) says.
  reset(tree, kept = null) {
    this.#tree = tree;
    this.#currents = kept?.currents ?? {};
    const line = lineThrough(tree, tree.root.id, this.#currents);
    this.#gameEnd = kept?.gameEnd ?? line[line.length - 1].id;
    this.#forfeit = null;
    this.goTo(kept?.current ?? this.#gameEnd);
  }

  // Shows node `id`: the line now goes through it.
  goTo(id) {
    for (const node of pathTo(this.#tree, id)) {
      if (node.parentId !== null) this.#currents[node.parentId] = node.id;
    }
    this.#current = id;
    this.#game = gameAt(this.#tree, id);
    if (id === this.#gameEnd && this.#forfeit) this.#game.result = this.#forfeit;
    this.onGoTo?.();
  }

  isLive() {
    return this.#current === this.#gameEnd && !this.record;
  }

  // The game against the engine, at its end.
  liveGame() {
    if (this.isLive()) return this.#game;
    const game = gameAt(this.#tree, this.#gameEnd);
    if (this.#forfeit) game.result = this.#forfeit;
    return game;
  }

  lineShown() {
    return lineThrough(this.#tree, this.#current, this.#currents);
  }

  pathShown() {
    return pathTo(this.#tree, this.#current);
  }

  // The game's own line, from the root to where the game stands.
  gameLine() {
    return lineThrough(this.#tree, this.#gameEnd, {});
  }

  inGame(id) {
    return pathTo(this.#tree, this.#gameEnd).some((n) => n.id === id);
  }

  has(id) {
    return Boolean(this.#tree.get(id));
  }

  // Adds `player`'s stone at `at` after node `parentId` (or follows the child that holds it);
  // the game's end moves along when it stood there (a record's end stays). Returns the new node's id.
  play(parentId, player, at) {
    const added = addMove(this.#tree, parentId, player, at);
    this.#tree = added.tree;
    if (parentId === this.#gameEnd && !this.record) this.#gameEnd = added.id;
    return added.id;
  }

  // Cuts the tree before node `id` (it and everything after it go).
  cut(id) {
    const node = this.#tree.get(id);
    this.#tree = deleteBranch(this.#tree, id);
    delete this.#currents[node.parentId];
  }

  moveGameEnd(id) {
    this.#gameEnd = id;
    this.#forfeit = null;
  }

  forfeitWith(result) {
    this.#forfeit = result;
    if (this.isLive()) this.#game.result = result;
  }

  step(n) {
    this.goTo(navigate(this.#tree, this.#current, n, this.#currents).id);
  }

  promoteShown() {
    this.#tree = promote(this.#tree, this.#current);
  }

  // Writes properties into the tree through `change(tree)`, which returns the new tree.
  update(change) {
    this.#tree = change(this.#tree);
  }

  // The navigation buttons, the moves played at the position shown, and its comment. `onFollow`
  // is called with the id of the variation chosen.
  render(onFollow) {
    const tree = this.#tree;
    const node = tree.get(this.#current);
    const atStart = node.parentId === null;
    const atEnd = node.children.length === 0;
    $('nav-first').disabled = atStart;
    $('nav-prev').disabled = atStart;
    $('nav-next').disabled = atEnd;
    $('nav-last').disabled = atEnd;
    $('play-here').disabled = this.isLive() || Boolean(this.#game.result);
    $('delete-branch').disabled = atStart;
    $('promote').disabled = atStart || pathTo(tree, this.#current).every((n) => {
      const parent = tree.get(n.parentId);
      return !parent || parent.children[0].id === n.id;
    });
    const chosen = nextOf(tree, this.#current, this.#currents);
    const size = this.#game.size;
    const items = node.children.map((child, i) => {
      const move = moveOf(child);
      const button = document.createElement('button');
      button.type = 'button';
      button.dataset.variation = child.id;
      const name = move ? pointName(move.at, size) : 'a note';
      button.textContent = `${this.#game.moves.length + 1}. ${name}${i === 0 ? ' (main line)' : ''}${this.inGame(child.id) ? ` · the ${this.record ? 'record' : 'game'}` : ''}`;
      if (child.id === chosen?.id) button.setAttribute('aria-current', 'true');
      button.addEventListener('click', () => onFollow(child.id));
      const item = document.createElement('li');
      item.append(button);
      return item;
    });
    $('variations').replaceChildren(...items);
    $('variations-note').textContent = items.length ? '' : 'No move has been played here yet.';
    $('comment').textContent = node.data.C?.[0] ?? '';
  }
}
