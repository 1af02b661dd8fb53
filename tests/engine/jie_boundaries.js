// Writes, for every year from 1900 to 2100, the twelve 节 that open the
// solar months as an independent calendar library computes them, with the
// month pillar it gives a minute before and a minute after each (UTC+8).
// Used by the tests only; the program never runs or ships this library.
'use strict';
const path = require('path');
const fs = require('fs');
const [, , moduleDir, outFile] = process.argv;
const { Solar } = require(path.resolve(moduleDir, 'node_modules', 'lunar-javascript'));

const JIE = ['小寒', '立春', '惊蛰', '清明', '立夏', '芒种', '小暑', '立秋', '白露', '寒露', '立冬', '大雪'];
const pad = (n, w = 2) => String(n).padStart(w, '0');
const text = (s) => `${pad(s.getYear(), 4)}-${pad(s.getMonth())}-${pad(s.getDay())} ${pad(s.getHour())}:${pad(s.getMinute())}:${pad(s.getSecond())}`;
const monthAt = (s) => s.getLunar().getMonthInGanZhiExact();
const shift = (s, seconds) => Solar.fromJulianDay(s.getJulianDay() + seconds / 86400);

const lines = [];
for (let year = 1900; year <= 2100; ++year) {
  const table = Solar.fromYmd(year, 6, 1).getLunar().getJieQiTable();
  JIE.forEach((name, index) => {
    const at = table[name];
    if (!at || at.getYear() !== year) throw new Error(`no ${name} in ${year}`);
    lines.push([year, index, text(at), monthAt(shift(at, -60)), monthAt(shift(at, 60))].join('\t'));
  });
}
fs.writeFileSync(outFile, lines.join('\n') + '\n');
