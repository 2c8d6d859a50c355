// Queries every address of a plain list with gamedig, all at once, one attempt each, and
// prints a JSON array of what came back. Usage: node gamedig-run.mjs MODULE_DIR LIST TIMEOUT_MS
import { readFileSync } from 'node:fs';
import { pathToFileURL } from 'node:url';
import path from 'node:path';

const [moduleDir, listFile, timeoutText] = process.argv.slice(2);
const { GameDig } = await import(pathToFileURL(path.join(moduleDir, 'node_modules/gamedig/lib/index.js')).href);
const timeout = Number(timeoutText || 400);
const addresses = readFileSync(listFile, 'latin1').split(/\r?\n/).filter((line) => line.trim() !== '');

const started = process.hrtime.bigint();
const results = await Promise.all(addresses.map(async (address) => {
  const [host, port] = address.split(':');
  try {
    const state = await GameDig.query({
      type: 'protocol-valve', host, port: Number(port), givenPortOnly: true, maxRetries: 1,
      socketTimeout: timeout, requestPlayers: false,
    });
    return { address, status: 'answered', name: state.name, map: state.map,
             players: state.numplayers, max: state.maxplayers };
  } catch {
    return { address, status: 'silent' };
  }
}));
const elapsedMs = Number(process.hrtime.bigint() - started) / 1e6;
process.stdout.write(JSON.stringify(results) + '\n');
process.stderr.write(`gamedig query phase ${elapsedMs.toFixed(0)} ms\n`);
