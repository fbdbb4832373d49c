// @napi-rs/pinyin: its one-string API (pinyinString), marked tones, no word segmentation.
// Runs of other characters stay in its output between the syllables.
'use strict';
const { pinyinString } = require('@napi-rs/pinyin');
const { run } = require('./harness');

const WITH_TONE = 1; // PINYIN_STYLE.WithTone
run('@napi-rs/pinyin', (text) => pinyinString(text, { style: WITH_TONE }));
