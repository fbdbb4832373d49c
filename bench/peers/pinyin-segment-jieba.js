// pinyin reading by word with @node-rs/jieba as its segmenter (segment: '@node-rs/jieba'), marked
// tones, one reading each, its array joined with blanks; one line at a time, since its time in
// one call grows faster than the text (100 KB 2.4 s, 1 MB 44 s).
'use strict';
const pinyinModule = require('pinyin');
const { run } = require('./harness');

const pinyin = pinyinModule.default || pinyinModule;
run('pinyin (segment, @node-rs/jieba)', (line) =>
  pinyin(line, { style: pinyin.STYLE_TONE, segment: '@node-rs/jieba' }).map((readings) => readings[0]).join(' '),
  { byLine: true });
