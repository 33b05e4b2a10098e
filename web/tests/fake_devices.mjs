// Granted fake ports (fake_serial.js), each with the module's simulated
// device behind it: what the page writes goes in, what the device answers
// comes out on its own time. For the batch's tests and its bench row.
import { deviceBehind, grantPorts } from './fake_ports.mjs';

// Before the page loads: one granted port per USB product id.
export const grantProducts = (page, products) =>
  grantPorts(page, products.map((id) => ({ usbVendorId: 0x1a86, usbProductId: id })));

// Once the page is ready: a simulated device behind every granted port.
export async function startDevices(page) {
  const count = await page.evaluate(() => window.fakeSerial.granted.length);
  for (let i = 0; i < count; i++) await deviceBehind(page, i);
}

// "Записать на несколько…" on the ports named: resolves with the lines of
// #batchResults once the total stands, and the milliseconds it took.
export async function writeMany(page, names) {
  await page.click('#batchButton');
  for (const name of names) await page.locator('#batchPorts label', { hasText: name }).locator('input').check();
  const started = Date.now();
  await page.click('#batchWrite');
  await page.waitForSelector('#batchResults li.total', { timeout: 60000 });
  const took = Date.now() - started;
  const lines = await page.$$eval('#batchResults li', (items) => items.map((li) => li.textContent));
  await page.click('#batchClose');
  return { lines, took };
}
