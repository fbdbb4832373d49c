// @napi-rs/pinyin reading by word: its one-string API (pinyinString) with Jieba segmentation and
// the readings of the words it finds (segment: true, segmenter: 'jieba'), marked tones.
'use strict';
const { pinyinString } = require('@napi-rs/pinyin');
const { run } = require('./harness');

const WITH_TONE = 1; // PINYIN_STYLE.WithTone
run('@napi-rs/pinyin (segment, jieba)', (text) =>
  pinyinString(text, { style: WITH_TONE, segment: true, segmenter: 'jieba' }));
