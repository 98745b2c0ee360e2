// The game as text, in and out: the move list in either notation (copy, paste and set up) and
// SGF files (save and open).

import { gameAt, lineThrough } from './tree.js';
import { formatLetters, formatMoves, gameFileName, parseLetters, parseMoves } from './records.js';
import { readSgf, writeSgf } from './sgf.js';
import { $, lettersChosen } from './notes.js';

// `hooks`: settings() (the form's), openGame(game, human), openTree(tree, human).
export class RecordsPanel {
  constructor(nav, hooks) {
    this.nav = nav;
    this.hooks = hooks;
  }

  // The move list of the position shown, in the notation chosen.
  moveList() {
    const g = this.nav.game;
    return lettersChosen() ? formatLetters(g.moves, g.size) : formatMoves(g.moves);
  }

  render() {
    if (document.activeElement !== $('moves')) $('moves').value = this.moveList();
  }

  async copy() {
    const text = this.moveList();
    try {
      await navigator.clipboard.writeText(text);
    } catch {
      $('moves').value = text;
      $('moves').select();
      document.execCommand('copy');
    }
    $('moves-note').textContent = `Copied ${this.nav.game.moves.length} moves.`;
  }

  // A pasted list in either notation: letters followed by digits are the books' kind.
  setUp() {
    const s = this.hooks.settings();
    const text = $('moves').value;
    const read = /[a-t]\s*\d/i.test(text) ? parseLetters : parseMoves;
    const parsed = read(text, s.size, s.rule);
    if (parsed.error) {
      $('moves-note').textContent = parsed.error;
      return;
    }
    this.hooks.openGame(parsed.game, s.human);
    $('moves-note').textContent = `Set up ${parsed.game.moves.length} moves.`;
  }

  saveSgf() {
    const { tree, forfeit } = this.nav;
    const url = URL.createObjectURL(new Blob([writeSgf(tree, forfeit)], { type: 'application/x-go-sgf' }));
    const a = document.createElement('a');
    a.href = url;
    a.download = gameFileName(new Date());
    a.click();
    setTimeout(() => URL.revokeObjectURL(url), 1000);
    const nodes = [...tree.listNodes()].length - 1;
    $('moves-note').textContent = `Saved ${nodes} moves and notes, variations included, as ${a.download}.`;
  }

  // A game tree from a file, on its own size and rule, with its variations: the person plays on
  // from the end of its main line, with the side to move there. A file that does not read
  // changes nothing.
  async openSgf(file) {
    const read = file.size > 4 << 20 ? { error: 'The file is too large for a game record.' }
      : readSgf(await file.text(), this.hooks.settings().rule);
    if (read.error) {
      $('moves-note').textContent = `${file.name}: ${read.error}`;
      return;
    }
    const line = lineThrough(read.tree, read.tree.root.id, {});
    const game = gameAt(read.tree, line[line.length - 1].id);
    this.hooks.openTree(read.tree, game);
    $('moves-note').textContent = `Opened ${file.name}: ${game.moves.length} moves on its main line.`;
  }

  wire() {
    $('copy-moves').addEventListener('click', () => this.copy());
    $('set-up').addEventListener('click', () => this.setUp());
    $('save-sgf').addEventListener('click', () => this.saveSgf());
    $('open-sgf').addEventListener('click', () => $('sgf-file').click());
    $('sgf-file').addEventListener('change', (e) => {
      const [file] = e.target.files;
      e.target.value = ''; // the same file may be opened again
      if (file) this.openSgf(file);
    });
  }
}
