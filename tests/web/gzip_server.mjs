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

// The file of the tree that a request's path names, or the status that answers it: 400 for a
// path that cannot name a file (bad percent-encoding, a NUL byte), 404 for one that names no
// regular file inside the tree. The real path is checked too, so that no link leads out of it.
// Any error of the file system (a path below a file, a name too long) is a file not found.
function lookUp(root, url) {
  let name;
  try {
    name = decodeURIComponent(new URL(url, 'http://host').pathname);
  } catch {
    return { status: 400 };
  }
  if (name.includes('\0')) return { status: 400 };
  const file = path.join(root, name.endsWith('/') ? `${name}index.html` : name);
  if (!file.startsWith(root + path.sep)) return { status: 404 };
  try {
    const real = fs.realpathSync(file);
    if (real.startsWith(root + path.sep) && fs.statSync(real).isFile()) return { file: real };
  } catch {}
  return { status: 404 };
}

const statusText = { 400: 'Bad request', 404: 'Not found', 500: 'Server error' };
function answer(response, status) {
  response.writeHead(status, { 'Content-Type': 'text/plain' }).end(statusText[status]);
}

// Serves dir on a free loopback port until close(); resolves to { url, close }. A request the
// HTTP parser refuses (a raw NUL, a request line past its limit) gets 400 and its connection is
// closed; no request stops the server.
export function serveGzip(dir) {
  const root = fs.realpathSync(dir);
  const cache = new Map(); // file -> { raw, gzip }
  const serveFile = (request, response) => {
    const { file, status } = lookUp(root, request.url);
    if (!file) return answer(response, status);
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
  };
  const server = http.createServer((request, response) => {
    try {
      serveFile(request, response);
    } catch (error) { // a file that went away or cannot be read between the look-up and the read
      console.error(`gzip_server: ${request.url}: ${error.message}`);
      if (!response.headersSent) answer(response, 500);
      else response.destroy();
    }
  });
  server.on('clientError', (error, socket) => {
    if (socket.writable) socket.end('HTTP/1.1 400 Bad Request\r\nConnection: close\r\n\r\n');
    socket.destroy();
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
