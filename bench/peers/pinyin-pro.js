// pinyin-pro: marked tones as one string, characters other than Chinese removed.
'use strict';
const { pinyin } = require('pinyin-pro');
const { run } = require('./harness');

run('pinyin-pro', (text) => pinyin(text, { toneType: 'symbol', nonZh: 'removed' }));
