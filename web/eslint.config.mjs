// The page's scripts and their tests, linted by the recommended rules with
// the globals of where each runs. The tests run under node and hand some of
// their functions to the page, so they see the browser's globals as well.
import js from '@eslint/js';
import globals from 'globals';

// The module's loader, a classic script of the page (quorvex.js).
const page = { ...globals.browser, createQuorvex: 'readonly' };

export default [
  js.configs.recommended,
  {
    linterOptions: { reportUnusedDisableDirectives: 'error' },
    // Taking a property out by destructuring it is how a copy drops it.
    rules: { 'no-unused-vars': ['error', { ignoreRestSiblings: true }] },
  },
  {
    files: ['page/**/*.js'],
    ignores: ['page/sw.js'],
    languageOptions: { ecmaVersion: 2022, sourceType: 'module', globals: page },
  },
  // A function left empty on purpose says why, as an empty catch does.
  {
    files: ['page/**/*.js'],
    rules: { 'no-empty-function': 'error' },
  },
  // Classic scripts: the one before the module, and the service worker.
  {
    files: ['page/boot.js'],
    languageOptions: { sourceType: 'script' },
  },
  {
    files: ['page/sw.js'],
    languageOptions: { ecmaVersion: 2022, sourceType: 'script', globals: globals.serviceworker },
  },
  {
    files: ['tests/**/*.mjs', '*.mjs'],
    languageOptions: { sourceType: 'module', globals: { ...globals.node, ...page } },
  },
  {
    files: ['tests/**/*.cjs'],
    languageOptions: { sourceType: 'commonjs', globals: globals.node },
  },
  // Installed into the page before its own scripts, as a classic script.
  {
    files: ['tests/fake_serial.js'],
    languageOptions: { sourceType: 'script', globals: globals.browser },
  },
];
