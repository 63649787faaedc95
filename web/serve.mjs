// Serves a folder on 127.0.0.1 as a static web server would host the page: node web/serve.mjs
// [FOLDER] [PORT]. Prints the page's address on a line of its own; Ctrl-C ends.
import { createReadStream, statSync } from 'node:fs';
import { createServer } from 'node:http';
import { extname, join, normalize, resolve, sep } from 'node:path';
import { fileURLToPath } from 'node:url';

const kTypes = {
  '.html': 'text/html; charset=utf-8',
  '.js': 'text/javascript; charset=utf-8',
  '.mjs': 'text/javascript; charset=utf-8',
  '.wasm': 'application/wasm',
  '.json': 'application/json',
  '.png': 'image/png',
  '.webmanifest': 'application/manifest+json',
};

// The compressed copies the build leaves beside a file, best first.
const kEncodings = [['br', '.br'], ['gzip', '.gz']];

// The copy of `file` to send to a browser that accepts `accepted` (its Accept-Encoding): a
// compressed one where the build made one and the browser takes it, else the file itself.
function chooseCopy(file, accepted = '') {
  const takes = new Set(accepted.split(',').map((part) => part.split(';')[0].trim()));
  for (const [encoding, suffix] of kEncodings) {
    if (!takes.has(encoding)) continue;
    try {
      return { path: file + suffix, encoding, stat: statSync(file + suffix) };
    } catch {
      // no such copy: the next, or the file itself
    }
  }
  return { path: file, encoding: null, stat: statSync(file) };
}

// Answers the files under `root` only; a folder's index.html for the folder. Every answer carries
// a validator, so that a browser asks before it uses what it kept and gets "not modified" when
// nothing changed. Resolves to the listening server and its address.
export function serve(root, port = 0) {
  const folder = resolve(root);
  const server = createServer((request, response) => {
    let file;
    try {
      file = normalize(join(folder, decodeURIComponent(new URL(request.url, 'http://localhost').pathname)));
    } catch {
      response.writeHead(400, { 'Content-Type': 'text/plain' }).end('bad address\n');
      return;
    }
    if (file !== folder && !file.startsWith(folder + sep)) {
      response.writeHead(403).end();
      return;
    }
    try {
      if (statSync(file).isDirectory()) file = join(file, 'index.html');
      const copy = chooseCopy(file, request.headers['accept-encoding']);
      const { size, mtime } = copy.stat;
      const tag = `"${size.toString(36)}-${mtime.getTime().toString(36)}${copy.encoding ? '-' + copy.encoding : ''}"`;
      const headers = {
        'Content-Type': kTypes[extname(file)] ?? 'application/octet-stream',
        'Cache-Control': 'no-cache',
        'ETag': tag,
        'Last-Modified': mtime.toUTCString(),
        'Vary': 'Accept-Encoding',
      };
      if (copy.encoding) headers['Content-Encoding'] = copy.encoding;
      const kept = request.headers['if-none-match'];
      if (kept && kept.split(',').some((one) => one.trim().replace(/^W\//, '') === tag)) {
        response.writeHead(304, headers).end();
        return;
      }
      response.writeHead(200, { ...headers, 'Content-Length': size });
      if (request.method === 'HEAD') {
        response.end();
      } else {
        createReadStream(copy.path).pipe(response);
      }
    } catch {
      response.writeHead(404, { 'Content-Type': 'text/plain' }).end('not found\n');
    }
  });
  return new Promise((done, fail) => {
    server.once('error', fail);
    server.listen(port, '127.0.0.1', () => {
      done({ server, address: `http://127.0.0.1:${server.address().port}/` });
    });
  });
}

if (process.argv[1] === fileURLToPath(import.meta.url)) {
  const [root = 'build-web/page', port = '0'] = process.argv.slice(2);
  const { address } = await serve(root, Number(port));
  console.log(address);
}
