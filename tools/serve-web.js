// Serves the web site for a browser on this machine or, over HTTPS, for a
// phone on the local network. The page needs cross-origin isolation for its
// shared memory, so every response carries COOP/COEP.
'use strict';
const fs = require('fs');
const http = require('http');
const https = require('https');
const os = require('os');
const path = require('path');
const zlib = require('zlib');

const kTypes = {
  '.html': 'text/html; charset=utf-8',
  '.js': 'text/javascript; charset=utf-8',
  '.mjs': 'text/javascript; charset=utf-8',
  '.css': 'text/css; charset=utf-8',
  '.json': 'application/json',
  '.webmanifest': 'application/manifest+json',
  '.wasm': 'application/wasm',
  '.data': 'application/octet-stream',
  '.png': 'image/png',
  '.svg': 'image/svg+xml',
  '.ico': 'image/x-icon',
  '.wav': 'audio/wav',
  '.ttf': 'font/ttf',
  '.txt': 'text/plain; charset=utf-8',
};
// Already compressed: gzip would only cost time.
const kNoGzip = new Set(['.png', '.ico']);

function parseArgs(argv) {
  const opts = { port: 8080, https: false, dir: null, host: null, cert: null };
  for (let i = 0; i < argv.length; ++i) {
    const a = argv[i];
    const value = () => {
      if (i + 1 >= argv.length) usage(`${a} needs a value`);
      return argv[++i];
    };
    if (a === '--port') opts.port = Number(value());
    else if (a === '--https') opts.https = true;
    else if (a === '--dir') opts.dir = value();
    else if (a === '--host') opts.host = value();
    else if (a === '--cert-dir') opts.cert = value();
    else if (a === '--help' || a === '-h') usage(null);
    else usage(`unknown option ${a}`);
  }
  if (!Number.isInteger(opts.port) || opts.port < 0 || opts.port > 65535) usage('--port takes 0..65535');
  return opts;
}

function usage(error) {
  const text = 'usage: serve-web.sh [--port N] [--https] [--dir DIR] [--host ADDR]\n' +
    '  serves DIR (default build/web/site) on 127.0.0.1, or with --https on every\n' +
    '  address of this machine with a self-signed certificate (for a phone)\n' +
    '  --port 0 picks a free port; the first line printed is "serving URL"\n';
  (error ? process.stderr : process.stdout).write((error ? `serve-web: ${error}\n` : '') + text);
  process.exit(error ? 2 : 0);
}

function headersFor(ext) {
  return {
    'Content-Type': kTypes[ext] || 'application/octet-stream',
    'Cross-Origin-Opener-Policy': 'same-origin',
    'Cross-Origin-Embedder-Policy': 'require-corp',
    'Cross-Origin-Resource-Policy': 'same-origin',
    // A rebuilt site is seen on the next load; the service worker keeps the offline copy.
    'Cache-Control': 'no-cache',
    Vary: 'Accept-Encoding',
  };
}

// Compressed bodies kept by path until the file changes.
const gzipCache = new Map();

function gzipped(file, stat, body) {
  const kept = gzipCache.get(file);
  if (kept && kept.mtimeMs === stat.mtimeMs && kept.size === stat.size) return kept.body;
  const gz = zlib.gzipSync(body, { level: 6 });
  gzipCache.set(file, { mtimeMs: stat.mtimeMs, size: stat.size, body: gz });
  return gz;
}

function makeHandler(root) {
  return (req, res) => {
    if (req.method !== 'GET' && req.method !== 'HEAD') {
      res.writeHead(405, { Allow: 'GET, HEAD' });
      res.end();
      return;
    }
    let pathname;
    try {
      pathname = decodeURIComponent(new URL(req.url, 'http://x').pathname);
    } catch (e) {
      res.writeHead(400);
      res.end();
      return;
    }
    if (pathname.endsWith('/')) pathname += 'index.html';
    const file = path.join(root, path.normalize(pathname));
    if (file !== root && !file.startsWith(root + path.sep)) {
      res.writeHead(403);
      res.end();
      return;
    }
    fs.stat(file, (err, stat) => {
      if (err || !stat.isFile()) {
        res.writeHead(404, headersFor('.txt'));
        res.end('not found\n');
        return;
      }
      fs.readFile(file, (readErr, body) => {
        if (readErr) {
          res.writeHead(500, headersFor('.txt'));
          res.end();
          return;
        }
        const ext = path.extname(file).toLowerCase();
        const headers = headersFor(ext);
        // The service worker needs no isolation: without it the browser runs it
        // apart from the page, and a page whose renderer dies (a phone
        // discarding it) does not take the worker down with it; Chromium then
        // kept the next visit waiting on the dead worker for ever.
        if (path.basename(file) === 'sw.js') {
          delete headers['Cross-Origin-Opener-Policy'];
          delete headers['Cross-Origin-Embedder-Policy'];
        }
        const accepts = /\bgzip\b/.test(req.headers['accept-encoding'] || '');
        const gzip = accepts && !kNoGzip.has(ext) && body.length > 256;
        // Revalidation is cheap: the service worker's copy of an unchanged file costs a 304.
        headers.ETag = `"${stat.size.toString(16)}-${Math.floor(stat.mtimeMs).toString(16)}${gzip ? '-gz' : ''}"`;
        if (req.headers['if-none-match'] === headers.ETag) {
          delete headers['Content-Type'];
          res.writeHead(304, headers);
          res.end();
          return;
        }
        if (gzip) {
          body = gzipped(file, stat, body);
          headers['Content-Encoding'] = 'gzip';
        }
        headers['Content-Length'] = body.length;
        res.writeHead(200, headers);
        res.end(req.method === 'HEAD' ? undefined : body);
      });
    });
  };
}

function lanAddresses() {
  const found = [];
  for (const list of Object.values(os.networkInterfaces())) {
    for (const a of list || []) if (!a.internal && a.family === 'IPv4') found.push(a.address);
  }
  return found;
}

// A self-signed certificate naming this machine's addresses, made once and
// kept; made again when the addresses change.
function certificate(dir, addresses) {
  const { execFileSync } = require('child_process');
  fs.mkdirSync(dir, { recursive: true });
  const key = path.join(dir, 'key.pem');
  const cert = path.join(dir, 'cert.pem');
  const names = path.join(dir, 'names.txt');
  const san = ['DNS:localhost', 'IP:127.0.0.1', ...addresses.map((a) => `IP:${a}`)].join(',');
  const fresh = fs.existsSync(key) && fs.existsSync(cert) && fs.existsSync(names) &&
    fs.readFileSync(names, 'utf8') === san;
  if (!fresh) {
    execFileSync('openssl', ['req', '-x509', '-newkey', 'rsa:2048', '-nodes', '-sha256', '-days', '825',
      '-subj', '/CN=Jostlepad local', '-addext', `subjectAltName=${san}`,
      '-keyout', key, '-out', cert], { stdio: ['ignore', 'ignore', 'pipe'] });
    fs.writeFileSync(names, san);
  }
  return { key: fs.readFileSync(key), cert: fs.readFileSync(cert) };
}

function main() {
  const repo = path.resolve(__dirname, '..');
  const opts = parseArgs(process.argv.slice(2));
  const root = path.resolve(opts.dir || path.join(repo, 'build/web/site'));
  if (!fs.existsSync(path.join(root, 'index.html'))) {
    process.stderr.write(`serve-web: no index.html in ${root} (build it with tools/build-web.sh)\n`);
    process.exit(1);
  }
  const handler = makeHandler(root);
  let server;
  let host = opts.host || '127.0.0.1';
  let addresses = [];
  if (opts.https) {
    addresses = lanAddresses();
    if (!opts.host) host = '0.0.0.0';
    const tls = certificate(opts.cert || path.join(repo, 'build/web/tls'), addresses);
    server = https.createServer(tls, handler);
  } else {
    server = http.createServer(handler);
  }
  server.on('error', (e) => {
    process.stderr.write(`serve-web: ${e.message}\n`);
    process.exit(1);
  });
  server.listen(opts.port, host, () => {
    const port = server.address().port;
    const scheme = opts.https ? 'https' : 'http';
    process.stdout.write(`serving ${scheme}://127.0.0.1:${port}/ from ${root}\n`);
    if (opts.https) {
      for (const a of addresses) process.stdout.write(`open on a phone: https://${a}:${port}/\n`);
      process.stdout.write('the certificate is self-signed: accept it once in the phone\'s browser\n');
    }
  });
  for (const signal of ['SIGINT', 'SIGTERM']) process.on(signal, () => {
    server.close(() => process.exit(0));
    server.closeAllConnections();
  });
}

main();
