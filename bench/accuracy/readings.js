// Reads UTF-8 text, one sentence a line, and writes for each line the reading that one npm
// pinyin converter gives each of its characters, as numbered syllables (tone 5 for the
// neutral tone, ü as ü) separated by tabs: one field per character (code point) of the
// line, empty for characters the converter leaves without a reading.
// Usage: node readings.js PEER < sentences.txt > readings.tsv
// PEER: pinyin-pro | napi-jieba | napi-phrase | pinyin-jieba | pinyin-intl
'use strict';
const fs = require('fs');

const HAN = /\p{Script=Han}/u;

function numbered(syllable) {
  let s = String(syllable).toLowerCase().replace(/u:/g, 'ü').replace(/v/g, 'ü');
  let tone = '5';
  const digit = s.match(/[0-5]$/);
  if (digit) {
    if (digit[0] !== '0') tone = digit[0];
    s = s.slice(0, -1);
  }
  const marks = { 'ā': 'a1', 'á': 'a2', 'ǎ': 'a3', 'à': 'a4', 'ē': 'e1', 'é': 'e2', 'ě': 'e3', 'è': 'e4',
    'ī': 'i1', 'í': 'i2', 'ǐ': 'i3', 'ì': 'i4', 'ō': 'o1', 'ó': 'o2', 'ǒ': 'o3', 'ò': 'o4',
    'ū': 'u1', 'ú': 'u2', 'ǔ': 'u3', 'ù': 'u4', 'ǖ': 'ü1', 'ǘ': 'ü2', 'ǚ': 'ü3', 'ǜ': 'ü4' };
  s = Array.from(s).map((c) => {
    if (marks[c]) {
      tone = marks[c][1];
      return marks[c][0];
    }
    return c;
  }).join('');
  if (!/^[a-zü]+$/.test(s)) return '';
  if (/^[jqxy]/.test(s)) s = s.replace(/ü/g, 'u');
  return s + tone;
}

// Converters that give one item per Han character and one per run of other characters:
// each Han character takes the next item; other items must match the text they stand for.
function alignItems(chars, items) {
  const readings = [];
  let i = 0;
  for (const item of items) {
    if (i < chars.length && HAN.test(chars[i]) && /^[a-zA-Zü:āáǎàēéěèīíǐìōóǒòūúǔùǖǘǚǜ]+[0-5]?$/.test(item)) {
      readings.push(numbered(item));
      i += 1;
      continue;
    }
    const piece = Array.from(item);
    if (chars.slice(i, i + piece.length).join('') !== item) return null;
    for (let k = 0; k < piece.length; k += 1) readings.push('');
    i += piece.length;
  }
  return i === chars.length ? readings : null;
}

const peers = {
  'pinyin-pro': () => {
    const { pinyin } = require('pinyin-pro');
    return (line) => pinyin(line, { type: 'all', toneType: 'num' })
      .map((entry) => (entry.isZh ? numbered(entry.pinyin) : ''));
  },
  'napi-jieba': () => napi('jieba'),
  'napi-phrase': () => napi('phrase'),
  'pinyin-jieba': () => pinyinModule('@node-rs/jieba'),
  'pinyin-intl': () => pinyinModule('Intl.Segmenter'),
};

function napi(segmenter) {
  const { pinyin } = require('@napi-rs/pinyin');
  const WITH_TONE_NUM_END = 3;
  return (line) => alignItems(Array.from(line), pinyin(line, { style: WITH_TONE_NUM_END, segment: true, segmenter }));
}

function pinyinModule(segment) {
  const loaded = require('pinyin');
  const pinyin = loaded.default || loaded;
  return (line) => alignItems(Array.from(line), pinyin(line, { style: 'tone2', segment }).map((r) => r[0]));
}

function main() {
  const name = process.argv[2];
  if (!peers[name]) {
    process.stderr.write(`usage: node readings.js ${Object.keys(peers).join('|')} < LINES\n`);
    process.exit(2);
  }
  const convert = peers[name]();
  const lines = fs.readFileSync(0, 'utf8').split('\n');
  if (lines[lines.length - 1] === '') lines.pop();
  let unaligned = 0;
  const out = lines.map((line) => {
    const readings = convert(line);
    if (!readings || readings.length !== Array.from(line).length) {
      unaligned += 1;
      return Array.from(line).map(() => '').join('\t');
    }
    return readings.join('\t');
  });
  process.stdout.write(out.join('\n') + '\n');
  if (unaligned) process.stderr.write(`${name}: ${unaligned} lines could not be aligned; their readings count as missing\n`);
}

main();
