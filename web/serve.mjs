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

// Answers the files under `root` only; a folder's index.html for the folder. Resolves to the
// listening server and its address.
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
      const size = statSync(file).size;
      response.writeHead(200, {
        'Content-Type': kTypes[extname(file)] ?? 'application/octet-stream',
        'Content-Length': size,
        'Cache-Control': 'no-cache',
      });
      createReadStream(file).pipe(response);
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
