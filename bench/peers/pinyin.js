// pinyin: marked tones (STYLE_TONE), one reading each, no segmentation library installed; its
// array of readings is joined with blanks.
'use strict';
const pinyinModule = require('pinyin');
const { run } = require('./harness');

const pinyin = pinyinModule.default || pinyinModule;
run('pinyin', (text) => pinyin(text, { style: pinyin.STYLE_TONE }).map((readings) => readings[0]).join(' '));
