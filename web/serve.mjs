// Serves a folder over HTTP on localhost (a secure context, as the browser's
// serial port requires): node serve.mjs FOLDER [PORT]. Port 0 picks a free
// one. Prints the address once it listens. The module's code goes out as
// application/wasm, which the browser compiles while it streams in.
import { createServer } from 'node:http';
import { readFile } from 'node:fs/promises';
import { extname, join, normalize } from 'node:path';

const types = {
  '.html': 'text/html; charset=utf-8', '.js': 'text/javascript; charset=utf-8', '.mjs': 'text/javascript; charset=utf-8',
  '.css': 'text/css; charset=utf-8', '.svg': 'image/svg+xml', '.png': 'image/png',
  '.webmanifest': 'application/manifest+json', '.wasm': 'application/wasm',
};

export function serve(folder, port) {
  const server = createServer(async (request, response) => {
    const path = normalize(decodeURIComponent(new URL(request.url, 'http://x').pathname));
    const file = join(folder, path.endsWith('/') ? join(path, 'index.html') : path);
    try {
      const body = await readFile(file);
      response.writeHead(200, { 'Content-Type': types[extname(file)] ?? 'application/octet-stream' });
      response.end(body);
    } catch {
      response.writeHead(404).end();
    }
  });
  return new Promise((resolve) => server.listen(port, 'localhost', () => resolve(server)));
}

if (import.meta.url === `file://${process.argv[1]}`) {
  const server = await serve(process.argv[2], Number(process.argv[3] ?? 8123));
  console.log(`http://localhost:${server.address().port}`);
}
