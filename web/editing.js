// Setting up a position: the editor's controls and what ending an edit does. The game pauses
// while its position is edited; the position then becomes the start of a new game, or, when
// nothing changed, the game goes on as it was.

import { BLACK, EMPTY, WHITE, other } from './game.js';
import { Editor } from './editor.js';
import { $, playerName, studyNote } from './notes.js';

const TOOLS = [['edit-black', BLACK], ['edit-white', WHITE], ['edit-erase', EMPTY]];

export class Editing {
  // `openGame(game, human)` starts a game from a finished position.
  constructor(nav, play, render, openGame) {
    this.nav = nav;
    this.play = play;
    this.render = render;
    this.openGame = openGame;
    this.editor = null; // Editor while the position is being set up
  }

  toggle() {
    if (this.editor) this.finish();
    else this.start();
  }

  // An engine that is thinking is let go, and a fresh one gets the position once editing ends.
  start() {
    this.play.release();
    this.editor = new Editor(this.nav.game);
    this.play.hint = null;
    $('to-move').value = playerName(this.editor.toMove);
    this.chooseTool(BLACK);
    $('edit').setAttribute('aria-pressed', 'true');
    $('editor').hidden = false;
    studyNote('');
    this.render();
  }

  // The position becomes the start of the game: the person plays the side to move (or the other
  // side, as chosen), at the settings of the form. One that cannot start a game stays here and
  // false is returned.
  finish() {
    if (!this.editor) return true;
    const { game, error } = this.editor.finish();
    if (error) {
      studyNote(`This position cannot start a game: ${error}`, 'error');
      return false;
    }
    const unchanged = game === this.editor.game;
    this.close();
    studyNote('');
    if (unchanged) this.render();
    else this.openGame(game, $('edit-you').value === 'other' ? other(game.toMove()) : game.toMove());
    return true;
  }

  // Leaves the editor without changing the game.
  leave() {
    if (!this.editor) return;
    this.close();
    studyNote('Left the editor: the game is as it was.');
    this.render();
  }

  close() {
    this.editor = null;
    $('edit').setAttribute('aria-pressed', 'false');
    $('editor').hidden = true;
  }

  chooseTool(tool) {
    if (!this.editor) return;
    this.editor.tool = tool;
    for (const [id, t] of TOOLS) $(id).setAttribute('aria-pressed', String(t === tool));
    this.render();
  }

  // The status line while editing.
  status() {
    const tool = { [BLACK]: 'places black stones', [WHITE]: 'places white stones', [EMPTY]: 'empties points' };
    return `Setting up: a click ${tool[this.editor.tool]}; ${playerName(this.editor.toMove)} to move. Edit again to finish.`;
  }

  // Wires the editor's own controls.
  wire() {
    $('edit').addEventListener('click', () => this.toggle());
    for (const [id, tool] of TOOLS) $(id).addEventListener('click', () => this.chooseTool(tool));
    $('edit-clear').addEventListener('click', () => {
      this.editor?.clear();
      this.render();
    });
    $('to-move').addEventListener('change', () => {
      if (this.editor) this.editor.toMove = $('to-move').value === 'white' ? WHITE : BLACK;
      this.render();
    });
  }
}
