// The built site served as a static host serves it: each file with its content type and, when the
// browser accepts it, gzip-compressed (all but the PNG icons, which are compressed already), with
// a Content-Length so that the browser and an audit see the bytes that really cross the wire.
// Files are read and compressed once, on their first request.
import fs from 'node:fs';
import http from 'node:http';
import path from 'node:path';
import zlib from 'node:zlib';

const contentTypes = {
  '.html': 'text/html; charset=utf-8',
  '.js': 'text/javascript; charset=utf-8',
  '.css': 'text/css; charset=utf-8',
  '.json': 'application/manifest+json',
  '.png': 'image/png',
  '.wasm': 'application/wasm',
  '.data': 'application/octet-stream',
};
const uncompressed = new Set(['.png']);

// Serves dir on a free loopback port until close(); resolves to { url, close }.
export function serveGzip(dir) {
  const root = path.resolve(dir);
  const cache = new Map(); // file -> { raw, gzip }
  const server = http.createServer((request, response) => {
    let file = '';
    try {
      const name = decodeURIComponent(new URL(request.url, 'http://host').pathname);
      file = path.join(root, name.endsWith('/') ? `${name}index.html` : name);
    } catch {} // a malformed path finds nothing
    const found = fs.statSync(file, { throwIfNoEntry: false })?.isFile();
    if (!file.startsWith(root + path.sep) || !found) {
      response.writeHead(404, { 'Content-Type': 'text/plain' }).end('Not found');
      return;
    }
    const type = path.extname(file);
    if (!cache.has(file)) {
      const raw = fs.readFileSync(file);
      cache.set(file, { raw, gzip: uncompressed.has(type) ? null : zlib.gzipSync(raw) });
    }
    const { raw, gzip } = cache.get(file);
    const gzipped = gzip && /\bgzip\b/.test(request.headers['accept-encoding'] ?? '');
    const body = gzipped ? gzip : raw;
    response.writeHead(200, {
      'Content-Type': contentTypes[type] ?? 'application/octet-stream',
      'Content-Length': body.length,
      'Cache-Control': 'max-age=600',
      Vary: 'Accept-Encoding',
      ...(gzipped && { 'Content-Encoding': 'gzip' }),
    });
    response.end(request.method === 'HEAD' ? undefined : body);
  });
  return new Promise((resolve, reject) => {
    server.once('error', reject);
    server.listen(0, '127.0.0.1', () => {
      resolve({
        url: `http://127.0.0.1:${server.address().port}/`,
        close: () =>
          new Promise((done) => {
            server.close(done);
            server.closeAllConnections();
          }),
      });
    });
  });
}
