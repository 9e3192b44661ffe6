// OSC 1.0, as much of it as the program speaks: messages of i, h, f, d, s, T and F arguments.
'use strict'

function padded(length) {
	return (length + 3) & ~3
}

function string(text) {
	const bytes = Buffer.from(text, 'utf8')
	const out = Buffer.alloc(padded(bytes.length + 1))
	bytes.copy(out)
	return out
}

/** One datagram: a whole number goes as i, a text as s. */
function encode(address, args = []) {
	const parts = [string(address), string(',' + args.map((a) => (typeof a === 'string' ? 's' : 'i')).join(''))]
	for (const a of args) {
		if (typeof a === 'string') {
			parts.push(string(a))
		} else {
			const b = Buffer.alloc(4)
			b.writeInt32BE(a)
			parts.push(b)
		}
	}
	return Buffer.concat(parts)
}

/** The message of a datagram, or null for what is not one (bundles and unknown tags included). */
function decode(buffer) {
	let at = 0
	const readString = () => {
		const end = buffer.indexOf(0, at)
		if (end < 0) throw new Error('unterminated string')
		const text = buffer.toString('utf8', at, end)
		at = padded(end + 1)
		return text
	}
	try {
		const address = readString()
		if (!address.startsWith('/')) return null
		if (at >= buffer.length) return { address, args: [] }
		const tags = readString()
		if (!tags.startsWith(',')) return null
		const args = []
		for (const tag of tags.slice(1)) {
			switch (tag) {
				case 'i':
					args.push(buffer.readInt32BE(at))
					at += 4
					break
				case 'h':
					args.push(Number(buffer.readBigInt64BE(at)))
					at += 8
					break
				case 'f':
					args.push(buffer.readFloatBE(at))
					at += 4
					break
				case 'd':
					args.push(buffer.readDoubleBE(at))
					at += 8
					break
				case 's':
					args.push(readString())
					break
				case 'T':
					args.push(true)
					break
				case 'F':
					args.push(false)
					break
				default:
					return null
			}
		}
		return { address, args }
	} catch {
		return null
	}
}

module.exports = { encode, decode }
