// The archive's statements' values between its rules (C++, wasm_executor.cpp)
// and sqlite-wasm, as one buffer each way: handing them over one by one
// through embind took half of a large merge's time. Each value is a tag
// byte, then an integer as 8 bytes, or a length as 4 bytes and the bytes
// (text as UTF-8), little-endian. Rows are preceded by their count and
// their width, 4 bytes each.

const nullTag = 0;
const integerTag = 1;
const textTag = 2;
const blobTag = 3;
const decoder = new TextDecoder();
const encoder = new TextEncoder();

/**
 * The parameters of one statement.
 * @param {Uint8Array} bytes
 * @returns {unknown[]} null, numbers (BigInt past 2^53), strings and Uint8Array
 */
export function decodeParams(bytes) {
  const view = new DataView(bytes.buffer, bytes.byteOffset, bytes.byteLength);
  /** @type {unknown[]} */
  const values = [];
  let at = 0;
  while (at < bytes.length) {
    const tag = bytes[at++];
    if (tag === nullTag) {
      values.push(null);
    } else if (tag === integerTag) {
      const big = view.getBigInt64(at, true);
      values.push(big >= Number.MIN_SAFE_INTEGER && big <= Number.MAX_SAFE_INTEGER ? Number(big) : big);
      at += 8;
    } else {
      const length = view.getUint32(at, true);
      at += 4;
      values.push(tag === textTag ? decoder.decode(bytes.subarray(at, at + length)) : bytes.slice(at, at + length));
      at += length;
    }
  }
  return values;
}

/**
 * Rows of equal width, as one buffer. A real number, which the archive
 * never stores, goes as its text: the rules then refuse the row.
 * @param {unknown[][]} rows
 * @returns {Uint8Array<ArrayBuffer>}
 */
export function encodeRows(rows) {
  let bytes = new Uint8Array(1024);
  let view = new DataView(bytes.buffer);
  let at = 0;
  /** @param {number} more */
  const room = (more) => {
    if (at + more <= bytes.length) return;
    const grown = new Uint8Array(Math.max(bytes.length * 2, at + more));
    grown.set(bytes.subarray(0, at));
    bytes = grown;
    view = new DataView(bytes.buffer);
  };
  room(8);
  view.setUint32(0, rows.length, true);
  view.setUint32(4, rows[0]?.length ?? 0, true);
  at = 8;
  for (const row of rows) {
    for (const value of row) {
      if (value === null || value === undefined) {
        room(1);
        bytes[at++] = nullTag;
      } else if (typeof value === 'bigint' || (typeof value === 'number' && Number.isInteger(value))) {
        room(9);
        bytes[at++] = integerTag;
        view.setBigInt64(at, BigInt(value), true);
        at += 8;
      } else if (value instanceof Uint8Array) {
        room(5 + value.length);
        bytes[at++] = blobTag;
        view.setUint32(at, value.length, true);
        bytes.set(value, at + 4);
        at += 4 + value.length;
      } else {
        const text = String(value);
        room(5 + 3 * text.length);  // UTF-8 takes at most 3 bytes for each UTF-16 unit
        bytes[at++] = textTag;
        const { written } = encoder.encodeInto(text, bytes.subarray(at + 4));
        view.setUint32(at, written, true);
        at += 4 + written;
      }
    }
  }
  return bytes.slice(0, at);
}
