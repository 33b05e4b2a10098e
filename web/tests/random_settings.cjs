// Random settings files for the tests that compare the page with the native
// programs.

// Random but valid settings: a digit inside every list and slider, random
// subscriber numbers; the texts of a file may be anything the checks pass.
function randomLine(catalogue, random) {
  const pick = (n) => Math.floor(random() * n);
  const digits = Array.from({ length: 90 }, () => 0);
  for (const s of catalogue.settings) {
    if (s.group < 1 || s.group > 14 || s.group === 6) continue;
    const place = (s.group - 1) * 6 + (s.item - 1);
    if (s.kind === 'list') digits[place] = pick(s.options.length);
    else if (s.kind === 'slider') digits[place] = s.minimum + pick(s.maximum - s.minimum + 1);
    else digits[place] = pick(s.buttons.length);
  }
  // The high threshold at or above the low one, which the coupling would enforce.
  const low = pick(100);
  const high = low + pick(100 - low);
  const tensUnits = (n) => [Math.floor(n / 10), n % 10];
  digits.splice(30, 6, 1, 1, ...tensUnits(high), ...tensUnits(low));
  const codes = Array.from({ length: 15 }, (_, g) => digits.slice(g * 6, g * 6 + 6).join(''));
  codes[13] = codes[13].slice(0, 4) + '00';
  codes[14] = '000000';
  const phone = () => '+380' + String(100000000 + pick(899999999));
  const texts = [...Array.from({ length: 9 }, phone), String(1000 + pick(9000)),
    ...Array.from({ length: 4 }, () => String(pick(256)).padStart(3, '0')), String(1 + pick(65535))];
  return [...codes, ...texts].join(':') + ':#\r\n';
}

module.exports = { randomLine };
