// pinyin reading by word with its default segmenter (segment: true, which is Node's
// Intl.Segmenter), marked tones, one reading each, its array joined with blanks; one line at a
// time, since given the whole corpus in one call it runs out of memory.
'use strict';
const pinyinModule = require('pinyin');
const { run } = require('./harness');

const pinyin = pinyinModule.default || pinyinModule;
run('pinyin (segment, Intl.Segmenter)', (line) =>
  pinyin(line, { style: pinyin.STYLE_TONE, segment: true }).map((readings) => readings[0]).join(' '), { byLine: true });
