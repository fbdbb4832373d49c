// @napi-rs/pinyin reading by word: its one-string API (pinyinString) with its segmentation and
// contextual phrase readings (segment: true, segmenter: 'phrase'), marked tones.
'use strict';
const { pinyinString } = require('@napi-rs/pinyin');
const { run } = require('./harness');

const WITH_TONE = 1; // PINYIN_STYLE.WithTone
run('@napi-rs/pinyin (segment, phrase)', (text) =>
  pinyinString(text, { style: WITH_TONE, segment: true, segmenter: 'phrase' }));
