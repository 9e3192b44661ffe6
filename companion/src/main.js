// The Companion connection: the program's address in, the show's actions, feedbacks, variables and
// presets out. Everything else is the show's (show.js).
'use strict'

const { InstanceBase, Regex, runEntrypoint } = require('@companion-module/base')
const { Show } = require('./show')

const DEFAULTS = { host: '127.0.0.1', port: 9000, feedbackPort: 9001 }

class PlintorInstance extends InstanceBase {
	async init(config) {
		this.show = new Show(this)
		await this.configUpdated(config)
	}

	async configUpdated(config) {
		this.config = { ...DEFAULTS, ...config }
		await this.show.start(this.config)
	}

	async destroy() {
		this.show?.stop()
	}

	getConfigFields() {
		return [
			{
				type: 'static-text',
				id: 'info',
				width: 12,
				label: 'Starting the program',
				value:
					'Start the program with remote control and the tally sent here, for example ' +
					'plintor --osc-listen 9000 --osc-feedback 127.0.0.1:9001 (from another machine: ' +
					'--osc-listen 0.0.0.0:9000 --osc-feedback COMPANION-ADDRESS:9001).',
			},
			{
				type: 'textinput',
				id: 'host',
				label: "The program's address",
				width: 6,
				default: DEFAULTS.host,
				regex: Regex.IP,
			},
			{ type: 'number', id: 'port', label: 'Its OSC port (--osc-listen)', width: 3, default: DEFAULTS.port, min: 1, max: 65535 },
			{
				type: 'number',
				id: 'feedbackPort',
				label: 'Tally port here (--osc-feedback)',
				width: 3,
				default: DEFAULTS.feedbackPort,
				min: 1,
				max: 65535,
			},
		]
	}
}

runEntrypoint(PlintorInstance, [])
