// The archive's values as they cross between its rules and sqlite-wasm
// (web/page/archive_values.js): what a row gives back is what a statement
// would be handed, whatever the value.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { decodeParams, encodeRows } from '../page/archive_values.js';

test('each kind of value comes back as it went, a row at a time', () => {
  const cases = [
    { name: 'null and undefined', row: [null, undefined], back: [null, null] },
    { name: 'integers at and past the exact range', row: [0, -1, 2 ** 53 - 1, 2n ** 62n, -(2n ** 63n)],
      back: [0, -1, 2 ** 53 - 1, 2n ** 62n, -(2n ** 63n)] },
    { name: 'text in Cyrillic, empty, with a NUL and astral', row: ['Ёлкин, ул. Мира', '', 'a\0b', '😀'],
      back: ['Ёлкин, ул. Мира', '', 'a\0b', '😀'] },
    { name: 'blobs empty and of every byte', row: [new Uint8Array(), Uint8Array.from({ length: 256 }, (_, i) => i)],
      back: [new Uint8Array(), Uint8Array.from({ length: 256 }, (_, i) => i)] },
    // A real number is no value the archive stores: its text, which the rules refuse.
    { name: 'a real number as its text', row: [1.5], back: ['1.5'] },
  ];
  for (const { name, row, back } of cases) {
    const bytes = encodeRows([row]);
    const view = new DataView(bytes.buffer);
    assert.equal(view.getUint32(0, true), 1, name);
    assert.equal(view.getUint32(4, true), row.length, name);
    assert.deepEqual(decodeParams(bytes.subarray(8)), back, name);
  }
});

test('rows are counted with their width, and a long text grows the buffer', () => {
  assert.deepEqual([...encodeRows([])], [0, 0, 0, 0, 0, 0, 0, 0]);
  const long = 'ж'.repeat(5000);
  const rows = [[1, long], [2, 'x']];
  const bytes = encodeRows(rows);
  const view = new DataView(bytes.buffer);
  assert.equal(view.getUint32(0, true), 2);
  assert.equal(view.getUint32(4, true), 2);
  assert.deepEqual(decodeParams(bytes.subarray(8)), rows.flat());
});
