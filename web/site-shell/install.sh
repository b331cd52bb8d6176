#!/bin/sh
# Adds the installable, offline shell to a built site folder: the manifest,
# the icons, the service worker and its registration. Run it last, on the
# finished site: the worker's cache lists every file then in the folder and is
# named after their contents, so a new build replaces the old cache.
#   web/site-shell/install.sh build/web/site
set -eu
site=${1:?usage: install.sh SITE_DIR}
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
mkdir -p "$site/icons"
cp "$here/manifest.webmanifest" "$here/register-sw.js" "$site/"
cp "$root"/packaging/icons/*.png "$site/icons/"
cp "$root/tools/art/icon.svg" "$site/icons/icon.svg"
node - "$site" "$here/sw.js" <<'JS'
const crypto = require('crypto');
const fs = require('fs');
const path = require('path');
const [site, template] = process.argv.slice(2);
const files = [];
(function walk(dir) {
  for (const entry of fs.readdirSync(dir, { withFileTypes: true })) {
    const full = path.join(dir, entry.name);
    if (entry.isDirectory()) walk(full);
    else files.push(path.relative(site, full).split(path.sep).join('/'));
  }
})(site);
const listed = files.filter((f) => f !== 'sw.js').sort();
const hash = crypto.createHash('sha256');
for (const f of listed) hash.update(f + '\0').update(fs.readFileSync(path.join(site, f)));
const version = hash.digest('hex').slice(0, 16);
// "./" is the address a person opens; index.html answers it.
const text = fs.readFileSync(template, 'utf8')
  .replace("'@VERSION@'", JSON.stringify(version))
  .replace("'@FILES@'", JSON.stringify(['./', ...listed]));
fs.writeFileSync(path.join(site, 'sw.js'), text);
process.stdout.write(`site shell: ${listed.length} files cached as version ${version}\n`);
JS
