// Reads the outputs of one side-by-side run and prints the comparison tables.
// Usage: node compare.mjs RUN_DIR   (RUN_DIR holds times.tsv and the tools' JSON outputs)
import { readFileSync, existsSync } from 'node:fs';
import path from 'node:path';

const dir = process.argv[2];
const load = (name) => JSON.parse(readFileSync(path.join(dir, name), 'utf8'));
const byAddress = (list) => new Map(list.map((entry) => [entry.address, entry]));

// Every tool's answers reduced to the same four fields.
const vantrix = byAddress(load('vantrix-defaults.json').filter((s) => s.status === 'answered')
  .map((s) => ({ address: s.address, name: s.name, map: s.map, players: s.players, max: s.max })));
const qstat = byAddress(load('qstat.json').filter((s) => s.status === 'online')
  .map((s) => ({ address: s.address, name: s.name, map: s.map, players: s.numplayers, max: s.maxplayers })));
const gamedig = existsSync(path.join(dir, 'gamedig.json'))
  ? byAddress(load('gamedig.json').filter((s) => s.status === 'answered')) : new Map();

const pad = (text, width) => String(text).padEnd(width);
const padLeft = (text, width) => String(text).padStart(width);

console.log('\nRun times on the same list (answered count, wall and CPU time, CPU per reply, ping median/max):');
console.log(`${pad('tool', 44)}${padLeft('answered', 9)}${padLeft('wall s', 9)}${padLeft('cpu s', 8)}` +
            `${padLeft('cpu/reply us', 14)}${padLeft('ping ms', 10)}`);
const times = readFileSync(path.join(dir, 'times.tsv'), 'utf8').trim().split('\n').map((line) => line.split('\t'));
for (const [tool, answered, wall, cpu, pings = '-'] of times) {
  const perReply = Number(answered) > 0 ? (Number(cpu) * 1e6 / Number(answered)).toFixed(1) : '-';
  console.log(`${pad(tool, 44)}${padLeft(answered, 9)}${padLeft(wall, 9)}${padLeft(cpu, 8)}` +
              `${padLeft(perReply, 14)}${padLeft(pings, 10)}`);
}

const sameSet = (a, b) => a.size === b.size && [...a.keys()].every((k) => b.has(k));
console.log(`\nvantrix-check answers the same servers as quakestat: ${sameSet(vantrix, qstat) ? 'yes' : 'NO'}` +
            ` (${vantrix.size} and ${qstat.size})`);
if (gamedig.size)
  console.log(`vantrix-check answers the same servers as gamedig:  ${sameSet(vantrix, gamedig) ? 'yes' : 'NO'}` +
              ` (${vantrix.size} and ${gamedig.size})`);

const fields = ['name', 'map', 'players', 'max'];
const differences = [];
for (const [address, ours] of vantrix) {
  const theirs = qstat.get(address);
  if (!theirs) continue;
  for (const field of fields)
    if (ours[field] !== theirs[field]) differences.push({ address, field, ours: ours[field], theirs: theirs[field] });
}
const compared = [...vantrix.keys()].filter((k) => qstat.has(k)).length;
console.log(`fields name, map, players, max compared on ${compared} servers: ${differences.length} differences`);
for (const d of differences.slice(0, 20))
  console.log(`  ${d.address} ${d.field}: vantrix-check ${JSON.stringify(d.ours)}, quakestat ${JSON.stringify(d.theirs)}`);

console.log('\nSide by side, the first answering servers (vantrix-check | quakestat):');
console.log(`${pad('address', 18)}${pad('name (vantrix-check)', 26)}${pad('name (quakestat)', 26)}` +
            `${pad('map', 22)}${pad('players', 14)}agree`);
let shown = 0;
for (const [address, ours] of vantrix) {
  if (shown++ >= 12) break;
  const theirs = qstat.get(address) || {};
  const agree = fields.every((f) => ours[f] === theirs[f]);
  console.log(`${pad(address, 18)}${pad(ours.name, 26)}${pad(theirs.name ?? '-', 26)}` +
              `${pad(`${ours.map} | ${theirs.map ?? '-'}`, 22)}` +
              `${pad(`${ours.players}/${ours.max} | ${theirs.players ?? '-'}/${theirs.max ?? '-'}`, 14)}` +
              `${agree ? 'yes' : 'NO'}`);
}
