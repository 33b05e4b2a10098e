// The archive's executor in JavaScript: the statements of the archive's
// C++ rules run on an sqlite-wasm database, their values carried as
// archive_values.js encodes them. The page's archive worker and the module
// tests under node run the same one.
import { decodeParams, encodeRows } from './archive_values.js';

/**
 * The executor's side in JavaScript: one statement run to its end. Each
 * text is prepared once and kept, as the native executor does: a merge runs
 * the same few statements a hundred thousand times, and preparing each
 * anew took most of its time. db.close() finalizes them.
 * @param {any} db an sqlite-wasm oo1.DB
 * @param {{ beforeRun?: () => void, codeOf?: (code: number) => number }} [hooks] before each
 *   statement; a failure's SQLite code as the caller tells it
 */
export function runner(db, { beforeRun = () => { /* nothing to forget */ }, codeOf = (code) => code } = {}) {
  /** @type {Map<string, any>} */
  const prepared = new Map();
  return {
    /** @param {string} sql @param {Uint8Array} paramBytes see archive_values.js */
    run(sql, paramBytes) {
      /** @type {unknown[][]} */
      const rows = [];
      let statement = null;
      beforeRun();
      try {
        const params = decodeParams(paramBytes);
        statement = prepared.get(sql);
        if (!statement) {
          statement = db.prepare(sql);
          prepared.set(sql, statement);
        }
        if (params.length) statement.bind(params);
        while (statement.step()) rows.push(statement.get([]));
        return { rows: encodeRows(rows) };
      } catch (error) {
        const failure = /** @type {{ resultCode?: number, message?: string }} */ (error);
        return { code: codeOf(failure.resultCode ?? 1), detail: String(failure.message ?? error) };
      } finally {
        try {
          statement?.reset(true);
        } catch {
          // reset() repeats the failure just returned.
        }
      }
    },
  };
}
