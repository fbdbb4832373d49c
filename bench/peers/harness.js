// Shared by the peer scripts: reads a UTF-8 file, converts it with one pinyin converter, writes
// the pinyin to standard output and reports the time of the conversion alone on standard error
// as one JSON line. Reading the file and writing the result are outside the timed part; a first
// call on a short text before it lets the converter load its dictionaries and the JIT warm up.
//
//   node SCRIPT FILE [again]
//
// With "again" the whole file is converted once more and that second call is the one timed: the
// memory its output takes has been had from the system once already, as in a benchmark that
// repeats a call, where the first call's page faults (whose cost varies widely on a shared
// machine) would otherwise weigh on the figure.
'use strict';
const fs = require('fs');

// With `byLine`, the text goes to `convert` one line at a time and the outputs are joined with
// line feeds, for a converter whose time grows faster than its input in one call.
function run(name, convert, { byLine = false } = {}) {
  const path = process.argv[2];
  if (!path) {
    process.stderr.write(`usage: node ${process.argv[1]} FILE\n`);
    process.exit(2);
  }
  const text = fs.readFileSync(path, 'utf8');
  const convertAll = () => (byLine ? text.split('\n').map(convert).join('\n') : convert(text));
  convert(text.slice(0, 1000));
  if (process.argv[3] === 'again') convertAll();
  const start = process.hrtime.bigint();
  const output = convertAll();
  const seconds = Number(process.hrtime.bigint() - start) / 1e9;
  process.stdout.write(output);
  process.stdout.write('\n');
  const bytes = fs.statSync(path).size;
  process.stderr.write(JSON.stringify({ peer: name, bytes, seconds, bytes_per_second: bytes / seconds }) + '\n');
}

module.exports = { run };
