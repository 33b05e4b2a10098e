// A node --test reporter that writes only the failed tests: the name, then
// the error's message and the line of the test file it came from. A test
// that failed only because a subtest did is left out (the subtest says why).

// "at web/tests/FILE:LINE:COLUMN": the test file's line the error came from.
function where(error) {
  const place = (error?.stack ?? '').match(/web\/tests\/[^:)\s]+:\d+:\d+/);
  return place ? `at ${place[0]}` : '';
}

export default async function* failures(source) {
  for await (const { type, data } of source) {
    if (type !== 'test:fail') continue;
    const error = data.details?.error;
    if (error?.failureType === 'subtestsFailed') continue;
    const cause = error?.cause ?? error;
    const message = cause instanceof Error ? cause.message : String(cause);
    const at = where(cause);
    yield `  ✗ ${data.name}\n`
      + `${message.split('\n').map((l) => `      ${l}`).join('\n')}\n${at ? `      ${at}\n` : ''}`;
  }
}
