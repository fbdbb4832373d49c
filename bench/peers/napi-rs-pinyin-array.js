// @napi-rs/pinyin through its array API (pinyin), one string per syllable or other run, joined
// with blanks: the form most of its callers use.
'use strict';
const { pinyin } = require('@napi-rs/pinyin');
const { run } = require('./harness');

const WITH_TONE = 1; // PINYIN_STYLE.WithTone
run('@napi-rs/pinyin (array API)', (text) => pinyin(text, { style: WITH_TONE }).join(' '));
